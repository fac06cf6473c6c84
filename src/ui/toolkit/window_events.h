// The calls a backend makes into the app logic, all on the window thread.
#pragma once

namespace qr::ui {

class ListView;

class WindowEvents {
 public:
  virtual ~WindowEvents() = default;

  // The window exists but is not shown yet. False: the program must end now
  // with exit code 0 without showing the window and without OnDestroyed.
  virtual bool OnCreated() = 0;
  // The person asked to close the window (close button, system menu, Alt+F4).
  // True lets it close; the backend then destroys it.
  virtual bool OnCloseQuery() = 0;
  // The window is being destroyed (after an allowed close or a destroy
  // request); the backend ends its event loop afterwards.
  virtual void OnDestroyed() = 0;

  virtual void OnMenuCommand(int itemId) = 0;
  virtual void OnToolbarClick(int index) = 0;
  // The person changed the selected row of `list`; the model already holds it.
  virtual void OnListSelectionChanged(ListView& list) = 0;
  // One of TrayEventKind.
  virtual void OnTrayEvent(int kind) = 0;
  // The person picked another page; the model already shows it.
  virtual void OnPageChanged(int /*page*/) {}
  // Another copy of the program asked this one to show itself.
  virtual void OnRaiseRequest() = 0;
};

}  // namespace qr::ui

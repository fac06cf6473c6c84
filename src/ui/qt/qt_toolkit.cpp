#include "ui/qt/qt_toolkit.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <cstdio>

#include "runtime/text.h"
#include "ui/qt/qt_form.h"
#include "ui/qt/qt_main_window.h"
#include "ui/qt/qt_text.h"
#include "ui/toolkit/message_auto_answer.h"

namespace qr::ui::qt {

namespace mb = qr::ui::message_box;

QMessageBox::Icon MessageIcon(int style) {
  switch (style & mb::kIconMask) {
    case mb::kIconError:
      return QMessageBox::Critical;
    case mb::kIconQuestion:
      return QMessageBox::Question;
    case mb::kIconWarning:
      return QMessageBox::Warning;
    case mb::kIconInformation:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

QMessageBox::StandardButtons MessageButtons(int style) {
  switch (style & mb::kButtonMask) {
    case mb::kOkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case mb::kYesNo:
      return QMessageBox::Yes | QMessageBox::No;
    default:
      return QMessageBox::Ok;
  }
}

int MessageAnswer(QMessageBox::StandardButton pressed) {
  switch (pressed) {
    case QMessageBox::Yes:
      return mb::kAnswerYes;
    case QMessageBox::No:
      return mb::kAnswerNo;
    case QMessageBox::Cancel:
      return mb::kAnswerCancel;
    default:
      return mb::kAnswerOk;
  }
}

QtToolkit::QtToolkit(bool answerMessagesItself)
    : dispatcher_(std::make_unique<QObject>()), autoAnswer_(answerMessagesItself) {
  previousPump_ = qr::concurrency::SetThreadMessagePump(this);
}

QtToolkit::~QtToolkit() { qr::concurrency::SetThreadMessagePump(previousPump_); }

bool QtToolkit::OnWindowThread() const { return QThread::currentThread() == dispatcher_->thread(); }

void QtToolkit::RunOnWindowThread(const std::function<void()>& work) {
  if (OnWindowThread()) {
    work();
  } else {
    QMetaObject::invokeMethod(dispatcher_.get(), work, Qt::BlockingQueuedConnection);
  }
}

QWidget* QtToolkit::Owner(bool ownedByMainWindow) const {
  if (!ownedByMainWindow) return nullptr;
  return forms_.empty() ? static_cast<QWidget*>(window_) : forms_.back();
}

int QtToolkit::ShowMessage(const MessageRequest& request) {
  if (autoAnswer_) {
    std::fputs(AutoAnsweredMessageLine(request).c_str(), stderr);
    std::fflush(stderr);
    return DefaultMessageAnswer(request.style);
  }
  int answer = mb::kAnswerOk;
  RunOnWindowThread([&] {
    QMessageBox box(MessageIcon(request.style), ToQString(request.title), ToQString(request.text),
                    MessageButtons(request.style), Owner(request.ownedByMainWindow));
    if (!request.ownedByMainWindow && (request.style & mb::kTaskModal) != 0)
      box.setWindowModality(Qt::ApplicationModal);
    // Closing the box without a button counts as its escape button.
    const auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
    answer = MessageAnswer(pressed == QMessageBox::NoButton && (request.style & mb::kButtonMask) == mb::kYesNo
                               ? QMessageBox::No
                               : pressed);
  });
  return answer;
}

std::string QtToolkit::TextFromWindowThread(const std::function<QString()>& ask) {
  std::string text;
  RunOnWindowThread([&] { text = FromQString(ask()); });
  return text;
}

std::string QtToolkit::ClipboardText() {
  return TextFromWindowThread([] { return QGuiApplication::clipboard()->text(); });
}

// Never waits for the window thread: a worker may call this while the window
// thread waits for that worker, or after the event loop has ended.
void QtToolkit::SetClipboardText(const std::string& text) {
  if (OnWindowThread()) {
    QGuiApplication::clipboard()->setText(ToQString(text));
    return;
  }
  PostToWindowThread([copy = ToQString(text)] { QGuiApplication::clipboard()->setText(copy); });
}

std::string QtToolkit::ChooseOpenFile(const FileDialogRequest& request) {
  return TextFromWindowThread([&] {
    return QFileDialog::getOpenFileName(Owner(true), ToQString(request.title), ToQString(request.initialFolder),
                                        ToQtFileFilter(request.filter));
  });
}

std::string QtToolkit::ChooseSaveFile(const FileDialogRequest& request) {
  return TextFromWindowThread([&] {
    return QFileDialog::getSaveFileName(Owner(true), ToQString(request.title), ToQString(request.initialFolder),
                                        ToQtFileFilter(request.filter));
  });
}

std::string QtToolkit::ChooseFolder(const std::string& title, const std::string& initialFolder) {
  // Cancelled: an empty name, which trims to empty.
  return qr::text::Trim(TextFromWindowThread([&] {
    return QFileDialog::getExistingDirectory(Owner(true), ToQString(title), ToQString(initialFolder),
                                             QFileDialog::ShowDirsOnly);
  }));
}

void QtToolkit::RunModalForm(FormModel& form, FormEvents& events) {
  QtForm dialog(form, events, Owner(true), [this](const std::string& address) { OpenWithShell(address); });
  forms_.push_back(&dialog);
  dialog.Run();
  forms_.pop_back();
}

void QtToolkit::OpenWithShell(const std::string& path) {
  // A web address (a link control's) opens as itself, anything else as a local path.
  const QUrl asUrl(ToQString(path));
  const bool webAddress = asUrl.scheme() == QLatin1String("http") || asUrl.scheme() == QLatin1String("https");
  const QUrl url = webAddress ? asUrl : QUrl::fromLocalFile(ToQString(path));
  PostToWindowThread([url] { QDesktopServices::openUrl(url); });
}

void QtToolkit::ShowPopupMenu(int menuIndex) {
  PostToWindowThread([this, menuIndex] {
    if (window_ != nullptr) window_->PopupMenu(menuIndex);
  });
}

void QtToolkit::PostToWindowThread(std::function<void()> work) {
  QMetaObject::invokeMethod(dispatcher_.get(), std::move(work), Qt::QueuedConnection);
}

void QtToolkit::ProcessPendingMessages() { ProcessPending(); }

void QtToolkit::QuitEventLoop(int exitCode) {
  int code = 0;
  {
    std::lock_guard guard(quitMutex_);
    if (!quitRequested_) exitCode_ = exitCode;
    quitRequested_ = true;
    code = exitCode_;
  }
  // Every request ends the loop again (one handled before the loop ran would
  // be lost otherwise), always with the first request's code.
  PostToWindowThread([code] { QCoreApplication::exit(code); });
}

void QtToolkit::ProcessPending() {
  if (OnWindowThread()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtToolkit::WaitForEvents(std::chrono::milliseconds limit) {
  if (!OnWindowThread() || limit.count() <= 0) return;
  // A timer bounds the wait: the blocking processEvents returns after
  // handling whatever arrives first, at the latest the timer's own event.
  QTimer wake;
  wake.setSingleShot(true);
  wake.start(static_cast<int>(limit.count()));
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

}  // namespace qr::ui::qt

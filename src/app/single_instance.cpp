#include "app/single_instance.h"

#include <utility>

namespace qr::app {

bool EnsureSingleInstance(SingleInstance& instance, qr::ui::ToolkitServices& services,
                          const SingleInstanceNotice& notice, std::function<void()> onRaiseRequest) {
  if (instance.Claim(std::move(onRaiseRequest))) return true;
  if (notice.showMessage) {
    services.ShowMessage({notice.message, "友情提醒:", notice.iconStyle | qr::ui::message_box::kTaskModal, false});
  }
  if (notice.activate) instance.AskFirstCopyToRaise();
  return false;
}

}  // namespace qr::app

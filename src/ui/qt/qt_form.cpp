#include "ui/qt/qt_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QThread>
#include <utility>

#include "runtime/text.h"
#include "ui/qt/qt_icons.h"
#include "ui/qt/qt_text.h"

namespace qr::ui::qt {

namespace {

constexpr char kControlProperty[] = "quillreelFormControl";

// Lower layers first: the tab control under everything, group boxes under
// the controls they frame. Children created later paint above earlier ones.
int Layer(ControlKind kind) {
  if (kind == ControlKind::kTabs) return 0;
  if (kind == ControlKind::kGroupBox) return 1;
  return 2;
}

QColor ToQColor(std::uint32_t rgb) { return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

void SetBase(QWidget* widget, std::uint32_t rgb) {
  QPalette palette = widget->palette();
  for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::Base, ToQColor(rgb));
  }
  widget->setPalette(palette);
}

QStringList Texts(const std::vector<ComboItem>& items) {
  QStringList texts;
  for (const ComboItem& item : items) texts.append(ToQString(item.text));
  return texts;
}

}  // namespace

std::string ToModelLines(const std::string& screen) {
  return qr::text::ReplaceAll(qr::text::RemoveAll(screen, "\r"), "\n", "\r\n");
}

std::string ToScreenLines(const std::string& model) { return qr::text::RemoveAll(model, "\r"); }

QtForm::QtForm(FormModel& model, FormEvents& events, QWidget* owner,
               std::function<void(const std::string&)> openAddress)
    : QDialog(owner), model_(model), events_(events), openAddress_(std::move(openAddress)) {
  setWindowTitle(ToQString(model_.Title()));
  setFixedSize(model_.Width(), model_.Height());
  CreateControls();
  subscription_ = model_.Subscribe([this](const FormChange& change) { OnModelChange(change); });
}

QtForm::~QtForm() { model_.Unsubscribe(subscription_); }

void QtForm::CreateControls() {
  widgets_.assign(static_cast<std::size_t>(model_.ControlCount()), nullptr);
  for (int layer = 0; layer <= 2; ++layer) {
    for (int index = 0; index < model_.ControlCount(); ++index) {
      if (Layer(model_.Spec(index).kind) != layer) continue;
      QWidget* widget = CreateControl(index);
      const ControlPlace& place = model_.Spec(index).place;
      widget->setGeometry(place.x, place.y, place.width, place.height);
      widget->setProperty(kControlProperty, index);
      widgets_[static_cast<std::size_t>(index)] = widget;
      ConnectControl(index);
    }
  }
  const std::vector<int> tabs = model_.ControlsOf(ControlKind::kTabs);
  if (!tabs.empty()) tabs_ = tabs.front();
}

QWidget* QtForm::CreateControl(int index) {
  const ControlSpec& spec = model_.Spec(index);
  switch (spec.kind) {
    case ControlKind::kLabel: {
      auto* label = new QLabel(this);
      label->setTextFormat(Qt::PlainText);
      label->setWordWrap(true);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      return label;
    }
    case ControlKind::kEdit:
      if (spec.multiLine) {
        auto* edit = new QPlainTextEdit(this);
        edit->viewport()->setProperty(kControlProperty, index);
        edit->viewport()->installEventFilter(this);
        return edit;
      } else {
        auto* edit = new QLineEdit(this);
        edit->installEventFilter(this);
        return edit;
      }
    case ControlKind::kComboBox: {
      auto* combo = new QComboBox(this);
      combo->setEditable(true);
      combo->setInsertPolicy(QComboBox::NoInsert);
      return combo;
    }
    case ControlKind::kCheckBox:
      return new QCheckBox(this);
    case ControlKind::kRadioBox: {
      // The model keeps one selected per group; Qt's own exclusivity would span every radio of the dialog.
      auto* radio = new QRadioButton(this);
      radio->setAutoExclusive(false);
      return radio;
    }
    case ControlKind::kButton: {
      auto* button = new QPushButton(this);
      button->setAutoDefault(false);  // Enter does not press a button, as on Windows
      return button;
    }
    case ControlKind::kGroupBox:
      return new QGroupBox(this);
    case ControlKind::kTabs:
      return new QTabWidget(this);
    case ControlKind::kLink: {
      auto* link = new QLabel(this);
      link->setTextFormat(Qt::RichText);
      link->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
      return link;
    }
    case ControlKind::kPicture: {
      auto* picture = new QLabel(this);
      const int size = std::min(spec.place.width, spec.place.height);
      picture->setPixmap(ProgramIcon().pixmap(size, size));
      return picture;
    }
  }
  return new QWidget(this);
}

void QtForm::ConnectControl(int index) {
  QWidget* widget = ControlWidget(index);
  auto writeBack = [this, index] { WriteBack(index); };
  auto clicked = [this, index] { Clicked(index); };
  switch (model_.Spec(index).kind) {
    case ControlKind::kEdit:
      if (auto* edit = qobject_cast<QLineEdit*>(widget)) connect(edit, &QLineEdit::textChanged, this, writeBack);
      if (auto* edit = qobject_cast<QPlainTextEdit*>(widget))
        connect(edit, &QPlainTextEdit::textChanged, this, writeBack);
      break;
    case ControlKind::kComboBox: {
      auto* combo = static_cast<QComboBox*>(widget);
      connect(combo, &QComboBox::currentIndexChanged, this, writeBack);
      connect(combo, &QComboBox::editTextChanged, this, writeBack);
      break;
    }
    case ControlKind::kCheckBox:
    case ControlKind::kButton:
      connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::clicked, this, clicked);
      break;
    case ControlKind::kRadioBox: {
      auto* radio = static_cast<QRadioButton*>(widget);
      // Clicking a selected radio box keeps it selected.
      connect(radio, &QAbstractButton::clicked, this, [radio, clicked] {
        radio->setChecked(true);
        clicked();
      });
      break;
    }
    case ControlKind::kTabs:
      connect(static_cast<QTabWidget*>(widget), &QTabWidget::currentChanged, this, [this, writeBack] {
        writeBack();
        ShowCurrentPage();
      });
      break;
    case ControlKind::kLink:
      connect(static_cast<QLabel*>(widget), &QLabel::linkActivated, this,
              [this, index] { openAddress_(model_.State(index).text); });
      break;
    default:
      break;
  }
}

void QtForm::Run() {
  events_.OnFormOpened();
  if (closed_) return;  // the logic closed it before it was shown
  exec();
  // The application's end stops every event loop: the form goes as if the person closed it.
  if (!closed_) reject();
}

void QtForm::reject() {
  if (closed_) {
    QDialog::reject();
    return;
  }
  events_.OnClosedByUser();
  model_.Close(false);
}

bool QtForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    const QVariant index = watched->property(kControlProperty);
    if (index.isValid()) events_.OnDoubleClicked(model_.Spec(index.toInt()).name);
  }
  return QDialog::eventFilter(watched, event);
}

void QtForm::OnModelChange(const FormChange& change) {
  if (QThread::currentThread() == thread()) {
    Apply(change);
    return;
  }
  // Another thread: refresh from the model's state as the window thread finds it.
  QMetaObject::invokeMethod(
      this,
      [this, kind = change.kind, control = change.control] {
        FormChange current;
        current.kind = kind;
        current.control = control;
        if (kind == FormChange::Kind::kControl) current.state = model_.State(control);
        current.x = model_.X();
        current.y = model_.Y();
        Apply(current);
      },
      Qt::QueuedConnection);
}

void QtForm::Apply(const FormChange& change) {
  switch (change.kind) {
    case FormChange::Kind::kControl:
      ApplyControl(change.control, change.state);
      if (change.control == tabs_) ShowCurrentPage();
      break;
    case FormChange::Kind::kPosition:
      // (0, 0) is a form nobody placed: Qt centres it over its owner.
      if (change.x != 0 || change.y != 0) move(change.x, change.y);
      break;
    case FormChange::Kind::kClose:
      CloseWindow();
      break;
  }
}

void QtForm::ApplyControl(int index, const ControlState& state) {
  QWidget* widget = ControlWidget(index);
  const ControlSpec& spec = model_.Spec(index);
  const bool wasApplying = std::exchange(applying_, true);
  widget->setEnabled(state.enabled);
  const QString text = ToQString(spec.multiLine ? ToScreenLines(state.text) : state.text);
  switch (spec.kind) {
    case ControlKind::kLabel:
      static_cast<QLabel*>(widget)->setText(text);
      break;
    case ControlKind::kEdit:
      if (auto* edit = qobject_cast<QLineEdit*>(widget); edit != nullptr && edit->text() != text) edit->setText(text);
      if (auto* edit = qobject_cast<QPlainTextEdit*>(widget); edit != nullptr && edit->toPlainText() != text)
        edit->setPlainText(text);
      SetBase(widget, state.background);
      break;
    case ControlKind::kComboBox: {
      auto* combo = static_cast<QComboBox*>(widget);
      const QStringList items = Texts(state.items);
      QStringList shown;
      for (int i = 0; i < combo->count(); ++i) shown.append(combo->itemText(i));
      if (shown != items) {
        combo->clear();
        combo->addItems(items);
      }
      if (combo->currentIndex() != state.selected) combo->setCurrentIndex(state.selected);
      if (combo->currentText() != text) combo->setEditText(text);
      break;
    }
    case ControlKind::kCheckBox:
    case ControlKind::kRadioBox:
    case ControlKind::kButton: {
      auto* button = static_cast<QAbstractButton*>(widget);
      button->setText(text);
      button->setChecked(state.checked);
      break;
    }
    case ControlKind::kGroupBox:
      static_cast<QGroupBox*>(widget)->setTitle(text);
      break;
    case ControlKind::kTabs: {
      auto* tabs = static_cast<QTabWidget*>(widget);
      const QStringList pages = Texts(state.items);
      QStringList shown;
      for (int i = 0; i < tabs->count(); ++i) shown.append(tabs->tabText(i));
      if (shown != pages) {
        while (tabs->count() > 0) delete tabs->widget(0);
        for (const QString& page : pages) tabs->addTab(new QWidget, page);
      }
      if (state.selected >= 0 && state.selected < tabs->count()) tabs->setCurrentIndex(state.selected);
      break;
    }
    case ControlKind::kLink:
      widget->setToolTip(text);
      static_cast<QLabel*>(widget)->setText(
          QStringLiteral("<a href=\"#\">%1</a>").arg(ToQString(spec.caption).toHtmlEscaped()));
      break;
    case ControlKind::kPicture:
      break;
  }
  applying_ = wasApplying;
}

void QtForm::ShowCurrentPage() {
  const int current = tabs_ >= 0 ? static_cast<QTabWidget*>(ControlWidget(tabs_))->currentIndex() : -1;
  for (int index = 0; index < model_.ControlCount(); ++index) {
    const int page = model_.Spec(index).place.page;
    if (page >= 0) ControlWidget(index)->setVisible(page == current);
  }
}

void QtForm::CloseWindow() {
  closed_ = true;
  done(model_.Accepted() ? QDialog::Accepted : QDialog::Rejected);
}

void QtForm::WriteBack(int index) {
  if (applying_) return;
  QWidget* widget = ControlWidget(index);
  ControlState state = model_.State(index);
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) state.text = FromQString(edit->text());
  if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) state.text = ToModelLines(FromQString(edit->toPlainText()));
  if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    state.selected = combo->currentIndex();
    state.text = FromQString(combo->currentText());
  }
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) state.checked = button->isChecked();
  if (auto* tabs = qobject_cast<QTabWidget*>(widget)) state.selected = tabs->currentIndex();
  model_.SetState(index, std::move(state));
}

void QtForm::Clicked(int index) {
  WriteBack(index);
  events_.OnClicked(model_.Spec(index).name);
}

}  // namespace qr::ui::qt

#include "control/varnex_widget.h"

#include "control/board.h"
#include "control/live_controls.h"
#include "control/message_box_port.h"
#include "control/run_printer.h"
#include "control/screen_parts.h"
#include "control/screen_style.h"
#include "control/tool_bar.h"
#include "control/zeb_varnex.h"
#include "grid/schedule_model.h"
#include "grid/schedule_view.h"
#include "platform/apartment.h"
#include "platform/automation_error.h"
#include "platform/control_site.h"
#include "platform/variant.h"
#include "schedule/grid_component.h"
#include "schedule/schedule_ids.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCoreApplication>
#include <QDateTime>
#include <QFrame>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QMetaClassInfo>
#include <QPointer>

#include <array>
#include <vector>

namespace varnex::control {

using platform::Variant;

namespace {

// The surface in twips.
constexpr int kSurfaceWidth = 14475;
constexpr int kSurfaceHeight = 8280;

// Legend text and markers.
constexpr OleColour kLegendInk = Rgb(0, 0, 192);
constexpr double kLegendTextPoints = 8.25;
constexpr double kMarkerPoints = 12.0;
constexpr double kTitlePoints = 15.75;

enum class Kind { Band, LegendText, Marker, TextBox, Swatch, ToolBar, Schedule, Outline, Title };

struct ChildEntry {
  const char16_t* name;
  Kind kind;
  const char16_t* container;     // empty: the control's own surface
  int left, top, width, height;  // twips
  const char16_t* text;
  OleColour colour;
  bool hidden;
};

using namespace system_colours;

// Every child of the screen in stored order; each container comes before its children.
constexpr std::array kScreen = {
    ChildEntry{u"Frame2", Kind::Band, u"", 1950, 7770, 9255, 375, u"Planning actions",
               kInactiveCaptionText, false},
    ChildEntry{u"Label15", Kind::LegendText, u"Frame2", 7650, 150, 1050, 210, u"Amend orders", 0,
               false},
    ChildEntry{u"lblAmend", Kind::Marker, u"Frame2", 7470, 90, 135, 285, u"|", 0, false},
    ChildEntry{u"lblCancel", Kind::Marker, u"Frame2", 5880, 120, 225, 285, u"X", 0, false},
    ChildEntry{u"lblReschIn", Kind::Marker, u"Frame2", 4230, 90, 255, 285, u"<-", 0, false},
    ChildEntry{u"lblReschOut", Kind::Marker, u"Frame2", 2400, 90, 255, 285, u"->", 0, false},
    ChildEntry{u"lblMatshortate", Kind::Marker, u"Frame2", 510, 90, 225, 285, u"?", 0, false},
    ChildEntry{u"Label9", Kind::LegendText, u"Frame2", 2700, 135, 1170, 420, u"Reschedule Out", 0,
               false},
    ChildEntry{u"Label8", Kind::LegendText, u"Frame2", 4530, 135, 1080, 420, u"Reschedule In", 0,
               false},
    ChildEntry{u"Label2", Kind::LegendText, u"Frame2", 780, 135, 1290, 420, u"Material Shortage", 0,
               false},
    ChildEntry{u"Label1", Kind::LegendText, u"Frame2", 6090, 135, 1050, 420, u"Cancel Orders", 0,
               false},
    ChildEntry{u"Box2", Kind::TextBox, u"", 240, 4680, 975, 975, u"", 0, true},
    ChildEntry{u"Box1", Kind::TextBox, u"", 240, 3720, 975, 855, u"", 0, true},
    ChildEntry{u"Frame1", Kind::Band, u"", 1980, 7260, 8925, 375, u"Order states",
               kInactiveCaptionText, false},
    ChildEntry{u"ctPushRelease", Kind::Swatch, u"Frame1", 7380, 120, 375, 255, u"", Rgb(0, 0, 255),
               false},
    ChildEntry{u"ctPushFirm", Kind::Swatch, u"Frame1", 5130, 120, 375, 255, u"", kBtnText, false},
    ChildEntry{u"ctPushAccepted", Kind::Swatch, u"Frame1", 2670, 120, 375, 255, u"",
               Rgb(255, 255, 0), false},
    ChildEntry{u"ctPushSuggested", Kind::Swatch, u"Frame1", 390, 120, 375, 255, u"",
               Rgb(0, 145, 72), false},
    ChildEntry{u"Label3", Kind::LegendText, u"Frame1", 7830, 135, 720, 210, u"Released", 0, false},
    ChildEntry{u"Label6", Kind::LegendText, u"Frame1", 840, 135, 840, 210, u"Suggested", 0, false},
    ChildEntry{u"Label4", Kind::LegendText, u"Frame1", 5580, 135, 540, 210, u"Firmed", 0, false},
    ChildEntry{u"Label5", Kind::LegendText, u"Frame1", 3120, 135, 780, 210, u"Accepted", 0, false},
    ChildEntry{u"ctWOToolBar1", Kind::ToolBar, u"", 1320, 60, 1095, 495, u"", kInactiveCaptionText,
               true},
    ChildEntry{u"ctWOSched", Kind::Schedule, u"", 60, 600, 14235, 6645, u"", 0, false},
    ChildEntry{u"ctWOToolBar", Kind::ToolBar, u"", 30, 60, 1065, 615, u"", kBtnFace, false},
    ChildEntry{u"Shape1", Kind::Outline, u"", 30, 30, 14355, 8205, u"", Rgb(0, 0, 192), false},
    ChildEntry{u"Label7", Kind::Title, u"", 5460, 120, 2625, 375, u"Kestrova", Rgb(0, 0, 192),
               false},
};

QString Text(const char16_t* text) {
  return QString::fromUtf16(text);
}

QLabel* MakeLabel(const QString& text, const QFont& font, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setTextFormat(Qt::PlainText);
  label->setText(text);
  label->setFont(font);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setAttribute(Qt::WA_TranslucentBackground);
  return label;
}

// A legend text that wraps sits in a band too low for its second line, which would be cut
// off. Such a text stays on one line instead and takes the room to its right, of which every
// legend has enough before the next marker or swatch.
void KeepOnOneLineIfClipped(QLabel* label) {
  const QWidget* band = label->parentWidget();
  if (label->y() + label->heightForWidth(label->width()) <= band->height()) return;
  const int oneLine = label->fontMetrics().horizontalAdvance(label->text()) + 1;
  label->setWordWrap(false);
  label->resize(std::max(label->width(), oneLine), label->height());
}

// Roles are set explicitly: unset, a child would take its parent's background role (the
// control's button face) and the text colour that contrasts with it.
void SetInk(QWidget* widget, OleColour colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, ResolveColour(colour, palette));
  widget->setPalette(palette);
  widget->setForegroundRole(QPalette::WindowText);
}

// Host values and automation values, for the late-bound entry.
Variant ToVariant(const QVariant& value) {
  switch (value.typeId()) {
    case QMetaType::UnknownType: return {};
    case QMetaType::Nullptr: return Variant::Null();
    case QMetaType::Bool: return Variant::Bool(value.toBool());
    case QMetaType::Short: return Variant::I2(value.value<qint16>());
    case QMetaType::Int: return Variant::I4(value.toInt());
    default: return Variant::Bstr(value.toString());
  }
}

QVariant FromVariant(const Variant& value) {
  switch (value.Type()) {
    case platform::VarType::Null: return QVariant::fromValue(nullptr);
    case platform::VarType::I2: return QVariant::fromValue<qint16>(value.AsI2());
    case platform::VarType::I4: return QVariant::fromValue<qint32>(value.AsI4());
    case platform::VarType::Bool: return QVariant(value.AsBool());
    case platform::VarType::Bstr: return QVariant(value.AsBstr());
    case platform::VarType::Date: return QVariant(value.AsDate().ToQDateTime());
    default: return {};
  }
}

}  // namespace

class VarnexWidget::Private final : public platform::ControlSite {
 public:
  explicit Private(VarnexWidget* owner) : q(owner) {}

  void Build();
  QWidget* MakeChild(const ChildEntry& entry, QWidget* container);
  void Place(QSize size);
  bool ForwardKey(QKeyEvent* event);
  void ButtonPressed(int number, const QString& caption);
  bool InvokeHere(qint32 dispId, QVariantList& args, QVariant* result, QString* error);

  void SetBoxText(const QString& box, const QString& text) override {
    TextBox* target = boxes.value(box);
    Q_ASSERT(target);
    if (target) target->SetText(text);
  }
  void SetGridToolTip(const QString& text) override { board->Settings().setToolTipText(text); }
  void SetMarkerCaption(const QString& marker, const QString& text) override {
    QLabel* target = markers.value(marker);
    Q_ASSERT(target);
    if (target) target->setText(text);
  }
  void SetSwatchFill(const QString& swatch, std::int32_t colour) override {
    Swatch* target = swatches.value(swatch);
    Q_ASSERT(target);
    if (target) target->SetFill(OleColour(colour));
  }
  void ShowNote(const QString& note) override { port->ShowNote(q, note); }
  void ShowMessage(const QString& title, const QString& text, const QString& detail) override {
    port->ShowMessage(q, title, text, detail);
  }

  VarnexWidget* const q;
  // Calls from other threads run on the board's own.
  platform::Apartment apartment;
  ModalMessageBoxPort modalPort;
  MessageBoxPort* port = &modalPort;

  // The surface's children, owned by the surface; the grid is not among them (below).
  ToolBar* ctWOToolBar = nullptr;
  QHash<QString, QWidget*> containers;
  QHash<QString, TextBox*> boxes;
  QHash<QString, QLabel*> markers;
  QHash<QString, Swatch*> swatches;
  QList<QLabel*> legendTexts;
  // The surface's own children with their stored geometry, for Place().
  struct Placed {
    QWidget* widget;
    Kind kind;
    QRect stored;
  };
  std::vector<Placed> placed;
  VarnexWidget::Sizing sizing = VarnexWidget::Sizing::Fixed;
  // Set while a key sent to the board is on its way to the focused part.
  bool forwardingKey = false;
  bool keyCameBack = false;
  std::unique_ptr<Board> board;
  // The grid shows the board's model and settings, so it is declared after the board and goes
  // before it; it stays a child of the surface for its place on it.
  std::unique_ptr<grid::ScheduleView> ctWOSched;
};

void VarnexWidget::Private::Build() {
  for (const ChildEntry& entry : kScreen) {
    QWidget* container = q;
    if (entry.container[0] != u'\0') {
      container = containers.value(Text(entry.container));
      Q_ASSERT(container);
    }
    QWidget* child = MakeChild(entry, container);
    child->setObjectName(Text(entry.name));
    const QRect stored = TwipsRect(entry.left, entry.top, entry.width, entry.height);
    child->setGeometry(stored);
    if (entry.hidden) child->hide();
    if (container == q) placed.push_back({child, entry.kind, stored});
  }
  for (QLabel* label : legendTexts) KeepOnOneLineIfClipped(label);
  // Keyboard focus runs from the grid to the toolbar's shown buttons and on out of the board;
  // nothing else on the surface takes it. The grid is made before the toolbar, so it already
  // comes first in the focus chain, and the buttons follow in their order.
}

// Lays the surface's own children out for `size`: the grid takes the room beyond the stored
// size, the bands move down with its bottom edge, the title moves with its centre, and the
// outline grows with the surface. Below the stored size, and in Fixed, everything is stored.
void VarnexWidget::Private::Place(QSize size) {
  const QSize surface = q->sizeHint();
  const bool fill = sizing == VarnexWidget::Sizing::Fill;
  const int wider = fill ? std::max(0, size.width() - surface.width()) : 0;
  const int taller = fill ? std::max(0, size.height() - surface.height()) : 0;
  for (const Placed& child : placed) {
    QRect r = child.stored;
    switch (child.kind) {
      case Kind::Schedule:
      case Kind::Outline: r.adjust(0, 0, wider, taller); break;
      case Kind::Band: r.translate(0, taller); break;
      case Kind::Title: r.translate(wider / 2, 0); break;
      default: break;
    }
    child.widget->setGeometry(r);
  }
}

// A key that the focused part leaves alone comes back to the board on its way to the host; it
// is stopped there and let go on from the board once, so the host sees it only once.
bool VarnexWidget::Private::ForwardKey(QKeyEvent* event) {
  if (forwardingKey) {
    keyCameBack = true;
    event->accept();
    return true;
  }
  QWidget* const target = q->focusWidget();
  if (!target || target == q || !q->isAncestorOf(target)) return false;
  const QPointer<VarnexWidget> alive(q);
  forwardingKey = true;
  keyCameBack = false;
  QCoreApplication::sendEvent(target, event);
  if (!alive) return true;  // deleted by the host on the way
  forwardingKey = false;
  event->setAccepted(!keyCameBack);
  return true;
}

QWidget* VarnexWidget::Private::MakeChild(const ChildEntry& entry, QWidget* container) {
  const QString name = Text(entry.name);
  switch (entry.kind) {
    case Kind::Band: {
      // The text of a band is the name it is read by.
      auto* band = new LegendBand(Text(entry.text), container);
      band->setFrameShape(QFrame::NoFrame);
      band->setAutoFillBackground(true);
      band->setBackgroundRole(QPalette::Window);
      QPalette palette = band->palette();
      palette.setColor(QPalette::Window, ResolveColour(entry.colour, palette));
      band->setPalette(palette);
      containers.insert(name, band);
      return band;
    }
    case Kind::LegendText: {
      QLabel* label = MakeLabel(Text(entry.text), ArialFont(kLegendTextPoints), container);
      SetInk(label, kLegendInk);
      legendTexts.append(label);
      return label;
    }
    case Kind::Marker: {
      QLabel* label = MakeLabel(Text(entry.text), ArialFont(kMarkerPoints, true), container);
      label->setForegroundRole(QPalette::Text);
      static_cast<LegendBand*>(container)->AddMark(label);
      markers.insert(name, label);
      return label;
    }
    case Kind::TextBox: {
      auto* box = new TextBox(container);
      boxes.insert(name, box);
      return box;
    }
    case Kind::Swatch: {
      auto* swatch = new Swatch(entry.colour, container);
      swatches.insert(name, swatch);
      return swatch;
    }
    case Kind::ToolBar: {
      // Of the main toolbar's six buttons only the two zoom buttons act; the other four stay
      // hidden (the bar has room for two). The hidden toolbar holds a zoom pair and nothing
      // handles it.
      const bool main = name == QLatin1String("ctWOToolBar");
      QList<ToolBar::Button> buttons;
      if (main) {
        buttons = {{QStringLiteral("Open"), ButtonIcon::None, false},
                   {QStringLiteral("Hide Mutliline"), ButtonIcon::None, false},
                   {QStringLiteral("Show Mutliline"), ButtonIcon::None, false},
                   {QStringLiteral("Zoom Out"), ButtonIcon::ZoomOut, true},
                   {QStringLiteral("Zoom In"), ButtonIcon::ZoomIn, true},
                   {QStringLiteral("Search"), ButtonIcon::None, false}};
      } else {
        buttons = {{QStringLiteral("Zoom Out"), ButtonIcon::ZoomOut, true},
                   {QStringLiteral("Zoom In"), ButtonIcon::ZoomIn, true}};
      }
      auto* bar = new ToolBar(buttons, entry.colour, container);
      if (main) {
        ctWOToolBar = bar;
        QObject::connect(bar, &ToolBar::ButtonClicked, q,
                         [this](int number, const QString& caption) {
                           ButtonPressed(number, caption);
                         });
      }
      return bar;
    }
    case Kind::Schedule: {
      ctWOSched = std::make_unique<grid::ScheduleView>(container);
      return ctWOSched.get();
    }
    case Kind::Outline: return new OutlineShape(entry.colour, 2, container);
    case Kind::Title: {
      auto* title = new QLabel(container);
      title->setTextFormat(Qt::PlainText);
      title->setText(Text(entry.text));
      title->setFont(ArialFont(kTitlePoints));
      title->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
      title->setAutoFillBackground(true);
      title->setBackgroundRole(QPalette::Button);
      SetInk(title, entry.colour);
      return title;
    }
  }
  Q_UNREACHABLE();
}

bool VarnexWidget::Private::InvokeHere(qint32 dispId, QVariantList& args, QVariant* result,
                                       QString* error) {
  const QPointer<VarnexWidget> alive(q);
  try {
    std::vector<Variant> values;
    values.reserve(std::size_t(args.size()));
    for (const QVariant& a : args) values.push_back(ToVariant(a).ByRef());
    const Variant answer =
        board->Control().Invoke(dispId, platform::InvokeKind::Method, values, Variant());
    for (qsizetype i = 0; i < args.size(); ++i) args[i] = FromVariant(values[std::size_t(i)]);
    if (result) *result = FromVariant(answer);
    return true;
  } catch (const platform::AutomationError& e) {
    if (error) *error = e.ReportText();
    return false;
  } catch (const std::bad_alloc&) {
    // Out of memory around the member (its arguments, their conversion): reported as the
    // members report it, never thrown at the host.
    if (alive) {
      board->Control().ReportOutOfMemory(
          QStringLiteral("the late-bound call of DISPID 0x%1").arg(quint32(dispId), 8, 16));
    }
    if (error) {
      *error =
          platform::AutomationError(platform::errors::kOutOfMemory,
                                    platform::StandardDescription(platform::errors::kOutOfMemory))
              .ReportText();
    }
    return false;
  }
}

void VarnexWidget::Private::ButtonPressed(int number, const QString& caption) {
  std::array<Variant, 2> args = {Variant::I2(static_cast<std::int16_t>(number)),
                                 Variant::Bstr(caption)};
  const QPointer<VarnexWidget> alive(q);
  board->Control().ToolbarEvents().OnEvent(schedule::toolbar_events::kButtonPressed, args);
  if (!alive) return;  // deleted by the host during a box
  // The buttons describe the scale the grid shows now, so a reader hears each step on them.
  if (QAccessible::isActive()) {
    if (QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(ctWOSched.get())) {
      ctWOToolBar->SetButtonDescription(grid->text(QAccessible::Description));
    }
  }
}

VarnexWidget::VarnexWidget(QWidget* parent) : QWidget(parent), d(std::make_unique<Private>(this)) {
  detail::ControlCreated();
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Button);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  resize(sizeHint());
  d->Build();
  // The board comes last: the control's creation step already writes to the legend.
  d->board = std::make_unique<Board>(*d);
  grid::ScheduleView* const view = d->ctWOSched.get();
  view->setSettings(&d->board->Settings());
  view->setModel(&d->board->Model());
  // The grid's gestures reach the control through the grid component, as its events.
  schedule::GridComponent& component = d->board->Grid();
  connect(view, &grid::ScheduleView::linePicked, this,
          [&component](int line) { component.RaiseLinePicked(line); });
  connect(view, &grid::ScheduleView::hovered, this,
          [&component](int line, int value) { component.RaiseHover(line, value); });
  connect(view, &grid::ScheduleView::barActivated, this, [&component](int line, int bar, int flag) {
    component.RaiseBarActivated(line, bar, flag);
  });
  component.SetBarFocusHandler([view = QPointer<grid::ScheduleView>(view)](int line, int bar) {
    if (view) view->focusBar(line, bar);
  });
  // Ctrl + wheel over the grid presses the zoom buttons, so that the control's zoom steps and
  // failures are the buttons' own.
  connect(view, &grid::ScheduleView::zoomRequested, this, [this](int direction) {
    const int number = direction > 0 ? 5 : 4;
    d->ButtonPressed(number, d->ctWOToolBar->ButtonAt(number)->text());
  });
  // A zoom button acts only while its step changes the scale the grid shows.
  const auto zoomLimits = [this, view] {
    ToolBar* const bar = d->ctWOToolBar;
    bar->SetButtonAvailable(4, view->canZoom(-1), view->zoomEndText(-1));
    bar->SetButtonAvailable(5, view->canZoom(1), view->zoomEndText(1));
  };
  connect(view, &grid::ScheduleView::zoomLimitsChanged, this, zoomLimits);
  zoomLimits();
}

VarnexWidget::~VarnexWidget() {
  // The grid may still signal while the board's parts go; nothing of the board answers then.
  if (d->ctWOSched) d->ctWOSched->disconnect(this);
  detail::ControlDestroyed();
}

// Every member runs on the board's thread: a call from another thread waits for its turn there.
void VarnexWidget::TimeSet(QString& Hdrxml) {
  d->apartment.Run([&] {
    Variant arg = Variant::Bstr(Hdrxml);
    arg.ByRef();
    d->board->Control().TimeSet(arg);
    if (arg.Type() == platform::VarType::Bstr) Hdrxml = arg.AsBstr();
  });
}

void VarnexWidget::PopulateWorkOrder(QString& Wohxml) {
  d->apartment.Run([&] {
    Variant arg = Variant::Bstr(Wohxml);
    arg.ByRef();
    d->board->Control().PopulateWorkOrder(arg);
    if (arg.Type() == platform::VarType::Bstr) Wohxml = arg.AsBstr();
  });
}

void VarnexWidget::TimeSet(const QString& Hdrxml) {
  d->apartment.Run([&] { d->board->Control().TimeSet(Hdrxml); });
}

void VarnexWidget::PopulateWorkOrder(const QString& Wohxml) {
  d->apartment.Run([&] { d->board->Control().PopulateWorkOrder(Wohxml); });
}

QString VarnexWidget::OrderOut() {
  QString order;
  d->apartment.Run([&] { order = d->board->Control().OrderOut(); });
  return order;
}

qint32 VarnexWidget::DispIdOf(QStringView name) {
  const QMetaObject& meta = staticMetaObject;
  const QByteArray key = "DispId:" + name.toLatin1();
  const int index = meta.indexOfClassInfo(key.constData());
  if (index < meta.classInfoOffset()) return -1;
  bool ok = false;
  const qint32 id = QByteArray(meta.classInfo(index).value()).toInt(&ok, 0);
  return ok ? id : -1;
}

bool VarnexWidget::Invoke(qint32 dispId, QVariantList& args, QVariant* result, QString* error) {
  bool done = false;
  d->apartment.Run([&] { done = d->InvokeHere(dispId, args, result, error); });
  return done;
}

void VarnexWidget::SetMessageBoxPort(MessageBoxPort* port) {
  d->port = port ? port : &d->modalPort;
}

bool VarnexWidget::PrintRun(QPagedPaintDevice& device,
                            const std::function<void(int done, int total)>& progress) {
  bool printed = false;
  d->apartment.Run([&] {
    std::vector<QPointer<const QWidget>> legends;
    for (const ChildEntry& entry : kScreen) {
      if (entry.kind == Kind::Band) legends.push_back(d->containers.value(Text(entry.name)));
    }
    // The run as it stands now: a load that comes while printing (from the progress callback,
    // say) shows on the screen and leaves the pages alone.
    const grid::ScheduleView& live = *d->ctWOSched;
    grid::ScheduleModel model;
    model.copyFrom(d->board->Model());
    grid::ScheduleSettings settings;
    settings.copyFrom(d->board->Settings());
    grid::ScheduleView run(&model);
    run.setSettings(&settings);
    run.setFont(live.font());
    run.setPalette(live.palette());
    run.resize(live.size());
    run.setToday(live.today());
    run.setCurrentLine(live.currentLine());
    if (live.focusedBarLine() > 0) run.focusBar(live.focusedBarLine(), live.focusedBarIndex());
    printed = PrintPlanningRun(device, run, legends, progress);
  });
  return printed;
}

VarnexWidget::Sizing VarnexWidget::sizing() const {
  return d->sizing;
}

void VarnexWidget::setSizing(Sizing sizing) {
  if (sizing == d->sizing) return;
  d->sizing = sizing;
  if (sizing == Sizing::Fill) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    d->Place(size());
  } else {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    d->Place(sizeHint());
    resize(sizeHint());
  }
  Q_EMIT sizingChanged(sizing);
}

QSize VarnexWidget::sizeHint() const {
  return QSize(Twips(kSurfaceWidth), Twips(kSurfaceHeight));
}

QSize VarnexWidget::minimumSizeHint() const {
  return sizeHint();
}

void VarnexWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (d->sizing == Sizing::Fill) d->Place(size());
}

void VarnexWidget::keyPressEvent(QKeyEvent* event) {
  if (!d->ForwardKey(event)) QWidget::keyPressEvent(event);
}

void VarnexWidget::keyReleaseEvent(QKeyEvent* event) {
  if (!d->ForwardKey(event)) QWidget::keyReleaseEvent(event);
}

}  // namespace varnex::control

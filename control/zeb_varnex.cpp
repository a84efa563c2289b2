#include "control/zeb_varnex.h"

#include "interaction/grid_events.h"
#include "platform/automation_error.h"
#include "platform/control_site.h"
#include "platform/conversions.h"
#include "platform/load_log.h"
#include "platform/version_info.h"
#include "platform/xml_document.h"
#include "schedule/schedule_ids.h"
#include "schedule/time_set.h"

#include <QStringList>

#include <new>

namespace varnex::control {

using platform::Variant;

namespace {

constexpr std::int32_t Rgb(int r, int g, int b) {
  return r + 256 * g + 65536 * b;
}

void NeedArgs(std::span<Variant> args, std::size_t count) {
  if (args.size() < count) platform::ThrowError(platform::errors::kWrongArgumentCount);
}

using VariantMember = void (Zeb_Varnex::*)(Variant&);

// Runs a member that takes its document by reference on a copy of `text`; the copy, escaped,
// is written back to `writeBack` when one is given.
void WithTextArgument(Zeb_Varnex& control, VariantMember member, const QString& text,
                      QString* writeBack) {
  Variant arg = Variant::Bstr(text);
  arg.ByRef();
  (control.*member)(arg);
  if (writeBack && arg.Type() == platform::VarType::Bstr) *writeBack = arg.AsBstr();
}

// Where an event is about, from its first values as far as they are there.
QString EventPlace(const char* what, std::span<const Variant> args, int values) {
  QString place = QString::fromLatin1(what);
  for (int i = 0; i < values && std::size_t(i) < args.size(); ++i) {
    place += (i == 0 ? QStringLiteral(" ") : QStringLiteral(" and ")) +
             platform::DescribeValue(args[std::size_t(i)]);
  }
  return place;
}

QString OperationText(platform::DispId id, platform::InvokeKind kind, std::span<const Variant> args,
                      const Variant& value) {
  QStringList parts;
  for (const Variant& a : args) parts.append(platform::DescribeValue(a));
  QString text;
  switch (kind) {
    case platform::InvokeKind::Method: text = QStringLiteral("the grid's call of DISPID %1"); break;
    case platform::InvokeKind::PropertyGet:
      text = QStringLiteral("the grid's property get of DISPID %1");
      break;
    case platform::InvokeKind::PropertyPut:
      text = QStringLiteral("the grid's property put of DISPID %1");
      break;
  }
  text = text.arg(id);
  if (!parts.isEmpty()) text += QStringLiteral(" (") + parts.join(QStringLiteral(", ")) + u')';
  if (kind == platform::InvokeKind::PropertyPut)
    text += QStringLiteral(" to ") + platform::DescribeValue(value);
  return text + QStringLiteral(" failed");
}

}  // namespace

class Zeb_Varnex::DetailedGrid final : public platform::Dispatch {
 public:
  explicit DetailedGrid(platform::Dispatch& grid) : mGrid(grid) {}

  Variant Invoke(platform::DispId id, platform::InvokeKind kind, std::span<Variant> args,
                 const Variant& value) override {
    try {
      return mGrid.Invoke(id, kind, args, value);
    } catch (platform::AutomationError& e) {
      // The arguments as they went in; the grid may have written through the references.
      e.AddContext(OperationText(id, kind, args, value));
      throw;
    }
  }

 private:
  platform::Dispatch& mGrid;
};

class Zeb_Varnex::GridSink final : public platform::EventSink {
 public:
  explicit GridSink(Zeb_Varnex& control) : mControl(control) {}

  void OnEvent(platform::DispId eventId, std::span<Variant> args) override {
    Zeb_Varnex& c = mControl;
    switch (eventId) {
      case schedule::grid_events::kLinePicked:
        c.Report(
            [&] {
              return EventPlace("the pick of line", args, 1) + QStringLiteral(" (grid event 3)");
            },
            [&] {
              NeedArgs(args, 1);
              interaction::OnLinePicked(c.ctWOSched, platform::ToI2(args[0]), c.mSelectedOrder);
            });
        break;
      case schedule::grid_events::kHover:
        c.Report(
            [&] {
              return EventPlace("the tooltip of line", args, 1) +
                     QStringLiteral(" (grid event 16)");
            },
            [&] {
              NeedArgs(args, 2);
              interaction::OnHover(c.ctWOSched, c.mSite, platform::ToI2(args[0]),
                                   platform::ToI2(args[1]));
            });
        break;
      case schedule::grid_events::kBarActivated:
        c.Report(
            [&] {
              return EventPlace("the activation of line and bar", args, 2) +
                     QStringLiteral(" (grid event 8)");
            },
            [&] {
              NeedArgs(args, 3);
              interaction::OnBarActivated(c.ctWOSched, platform::ToI2(args[0]),
                                          platform::ToI2(args[1]), platform::ToI2(args[2]));
            });
        break;
      default: break;  // events the control does not handle
    }
  }

 private:
  Zeb_Varnex& mControl;
};

class Zeb_Varnex::ToolbarSink final : public platform::EventSink {
 public:
  explicit ToolbarSink(Zeb_Varnex& control) : mControl(control) {}

  void OnEvent(platform::DispId eventId, std::span<Variant> args) override {
    if (eventId != schedule::toolbar_events::kButtonPressed) return;
    Zeb_Varnex& c = mControl;
    c.Report([&] { return EventPlace("toolbar button", args, 1); },
             [&] {
               NeedArgs(args, 1);
               interaction::OnToolbarButton(c.ctWOSched, platform::ToI2(args[0]));
             });
  }

 private:
  Zeb_Varnex& mControl;
};

Zeb_Varnex::Zeb_Varnex(platform::Dispatch& grid, platform::ControlSite& site)
    : mGrid(std::make_unique<DetailedGrid>(grid)),
      ctWOSched(*mGrid),
      mSite(site),
      mGridSink(std::make_unique<GridSink>(*this)),
      mToolbarSink(std::make_unique<ToolbarSink>(*this)) {
  Report([] { return QStringLiteral("the board's creation step"); }, [this] { CreationStep(); });
}

Zeb_Varnex::~Zeb_Varnex() = default;

template <typename Where, typename Fn>
void Zeb_Varnex::Report(Where&& where, Fn&& fn) {
  try {
    fn();
  } catch (platform::AutomationError& e) {
    e.AddContext(where());
    ShowFailure(e);
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory(where());
  }
}

void Zeb_Varnex::ShowFailure(const platform::AutomationError& failure) {
  const QString text = failure.ReportText();
  platform::LogMessage(text, failure.Detail());
  mSite.ShowMessage(QString::fromUtf16(platform::kProductName), text, failure.Detail());
}

void Zeb_Varnex::ReportOutOfMemory(const QString& where) {
  platform::AutomationError failure(platform::errors::kOutOfMemory,
                                    platform::StandardDescription(platform::errors::kOutOfMemory));
  failure.AddContext(where);
  ShowFailure(failure);
}

void Zeb_Varnex::CreationStep() {
  mColours.mColorSuggested = Variant::I4(Rgb(234, 179, 255));
  mColours.mColorAccepted = Variant::I4(Rgb(255, 255, 174));
  mColours.mColorFirm = Variant::I4(Rgb(94, 174, 255));
  mColours.mColorReleased = Variant::I4(Rgb(0, 213, 106));
  mColours.mColorOther = Variant::I4(Rgb(170, 170, 170));
  mSite.SetMarkerCaption(QStringLiteral("lblCancel"), QStringLiteral("X"));
  mSite.SetMarkerCaption(QStringLiteral("lblReschOut"), QStringLiteral(">>"));
  mSite.SetMarkerCaption(QStringLiteral("lblReschIn"), QStringLiteral("<<"));
  mSite.SetMarkerCaption(QStringLiteral("lblAmend"), QStringLiteral("\u00e2"));
}

void Zeb_Varnex::SetLegendColors() {
  mSite.SetSwatchFill(QStringLiteral("ctPushSuggested"), platform::ToI4(mColours.mColorSuggested));
  mSite.SetSwatchFill(QStringLiteral("ctPushAccepted"), platform::ToI4(mColours.mColorAccepted));
  mSite.SetSwatchFill(QStringLiteral("ctPushFirm"), platform::ToI4(mColours.mColorFirm));
  mSite.SetSwatchFill(QStringLiteral("ctPushRelease"), platform::ToI4(mColours.mColorReleased));
}

void Zeb_Varnex::TimeSet(Variant& Hdrxml) {
  Report([] { return QStringLiteral("TimeSet"); },
         [&] {
           schedule::TimeSet(Hdrxml, ctWOSched, mSite, {mHeaderDoc, mHorizonStart, mHorizonEnd});
         });
}

void Zeb_Varnex::PopulateWorkOrder(Variant& Wohxml) {
  Report([] { return QStringLiteral("PopulateWorkOrder"); },
         [&] {
           const orders::OrderMembers members{mOrderDoc, mHorizonStart, mHorizonEnd, mColours,
                                              [this] {
                                                SetLegendColors();
                                                if (mLoadCompleted) mLoadCompleted();
                                              }};
           orders::PopulateWorkOrder(Wohxml, ctWOSched, mSite, members);
         });
}

void Zeb_Varnex::TimeSet(QString& Hdrxml) {
  WithTextArgument(*this, &Zeb_Varnex::TimeSet, Hdrxml, &Hdrxml);
}

void Zeb_Varnex::TimeSet(const QString& Hdrxml) {
  WithTextArgument(*this, &Zeb_Varnex::TimeSet, Hdrxml, nullptr);
}

void Zeb_Varnex::PopulateWorkOrder(QString& Wohxml) {
  WithTextArgument(*this, &Zeb_Varnex::PopulateWorkOrder, Wohxml, &Wohxml);
}

void Zeb_Varnex::PopulateWorkOrder(const QString& Wohxml) {
  WithTextArgument(*this, &Zeb_Varnex::PopulateWorkOrder, Wohxml, nullptr);
}

QString Zeb_Varnex::OrderOut() {
  QString result;
  Report([] { return QStringLiteral("OrderOut"); }, [&] { result = mSelectedOrder; });
  return result;
}

Variant Zeb_Varnex::Invoke(platform::DispId id, platform::InvokeKind kind, std::span<Variant> args,
                           const Variant& /*value*/) {
  // Script hosts call a member without arguments as a property get; both mean the same here.
  const bool isCall = kind == platform::InvokeKind::Method ||
                      (kind == platform::InvokeKind::PropertyGet && id == control_ids::kOrderOut);
  if (!isCall) platform::ThrowError(platform::errors::kNotSupported);
  switch (id) {
    case control_ids::kTimeSet:
      if (args.size() != 1) platform::ThrowError(platform::errors::kWrongArgumentCount);
      TimeSet(args[0]);
      return {};
    case control_ids::kPopulateWorkOrder:
      if (args.size() != 1) platform::ThrowError(platform::errors::kWrongArgumentCount);
      PopulateWorkOrder(args[0]);
      return {};
    case control_ids::kOrderOut:
      if (!args.empty()) platform::ThrowError(platform::errors::kWrongArgumentCount);
      return Variant::Bstr(OrderOut());
    default: platform::ThrowError(platform::errors::kNotSupported);
  }
}

platform::EventSink& Zeb_Varnex::GridEvents() {
  return *mGridSink;
}
platform::EventSink& Zeb_Varnex::ToolbarEvents() {
  return *mToolbarSink;
}

}  // namespace varnex::control

// The work-order document through the control on the grid model, as a host hands it to
// PopulateWorkOrder, followed by the planner's gestures on what was loaded and OrderOut.
#include "fuzz/fuzz_host.h"
#include "interaction/grid_events.h"
#include "platform/dispatch.h"
#include "platform/escaping.h"
#include "platform/variant.h"
#include "platform/xml_document.h"
#include "schedule/grid_component.h"
#include "schedule/schedule_ids.h"
#include "tools/document_generator.h"

#include <array>

namespace {

using namespace varnex;

// Order rows among the root's children as the control counts them; -1 when a child is text.
int OrderRows(const QString& escaped) {
  const auto doc = platform::XmlDocument::Parse(platform::StripBlanks(escaped));
  int rows = 0;
  for (int node = 0; node < doc->RowCount(); ++node) {
    const platform::NodeKind kind = doc->RowKind(node);
    if (kind == platform::NodeKind::Element) ++rows;
    if (kind == platform::NodeKind::Text || kind == platform::NodeKind::CData) return -1;
  }
  return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QString text = fuzz::DecodeInput(data, size);

  fuzz::Host host;
  auto& model = host.model;
  auto& settings = host.settings;
  auto& component = host.board.Grid();
  auto& site = host.site;
  auto& control = host.control;
  static const QString header = tools::GenerateHeader(tools::GeneratorOptions{});
  platform::Variant hdrxml = platform::Variant::Bstr(header);
  control.TimeSet(hdrxml);
  VARNEX_FUZZ_CHECK(site.messages.isEmpty());

  platform::Variant wohxml = platform::Variant::Bstr(text);
  control.PopulateWorkOrder(wohxml);

  VARNEX_FUZZ_CHECK(wohxml.Type() == platform::VarType::Bstr &&
                    wohxml.AsBstr() == site.BoxText(QStringLiteral("Box2")));
  QString plain;
  VARNEX_FUZZ_CHECK(fuzz::Unescape(wohxml.AsBstr(), &plain) && plain == text);
  VARNEX_FUZZ_CHECK(site.messages.size() <= 1);
  // Nothing a fuzzer makes is too large to read.
  VARNEX_FUZZ_CHECK(site.messages.isEmpty() ||
                    !site.messages[0].startsWith(QLatin1String("The document is too large")));
  VARNEX_FUZZ_CHECK(model.lineCount() <= 32767);
  VARNEX_FUZZ_CHECK(model.totalBarCount() <= model.lineCount());
  // A load that ran to its end shows one line and one bar per order row and fills the legend.
  if (site.messages.isEmpty()) {
    VARNEX_FUZZ_CHECK(site.swatchFills == 4);
    VARNEX_FUZZ_CHECK(model.lineCount() == OrderRows(wohxml.AsBstr()));
    VARNEX_FUZZ_CHECK(model.totalBarCount() == model.lineCount());
  } else {
    VARNEX_FUZZ_CHECK(site.swatchFills == 0);
  }

  // The planner's gestures on the first and the last line, and on a line that is not there.
  const int lines = model.lineCount();
  for (const int line : {1, lines, lines + 1}) {
    site.messages.clear();
    component.RaiseLinePicked(line);
    const QString picked = control.OrderOut();
    if (line >= 1 && line <= lines) {
      VARNEX_FUZZ_CHECK(site.messages.isEmpty());
      VARNEX_FUZZ_CHECK(picked == model.cellText(line, 1));
    } else {
      VARNEX_FUZZ_CHECK(site.messages.size() == 1);
    }
    component.RaiseHover(line, 1);
    component.RaiseHover(line, 0);
    component.RaiseBarActivated(line, 1, -1);
  }
  std::array<platform::Variant, 1> zoomIn = {platform::Variant::I2(interaction::buttons::kZoomIn)};
  std::array<platform::Variant, 1> zoomOut = {
      platform::Variant::I2(interaction::buttons::kZoomOut)};
  control.ToolbarEvents().OnEvent(schedule::toolbar_events::kButtonPressed, zoomIn);
  control.ToolbarEvents().OnEvent(schedule::toolbar_events::kButtonPressed, zoomOut);
  VARNEX_FUZZ_CHECK(settings.zoom() >= 1);
  return 0;
}

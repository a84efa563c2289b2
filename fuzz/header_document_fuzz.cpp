// The header document through the control on the grid model, as a host hands it to TimeSet.
#include "fuzz/fuzz_host.h"
#include "platform/variant.h"
#include "schedule/day_number.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace varnex;
  const QString text = fuzz::DecodeInput(data, size);

  fuzz::Host host;
  auto& settings = host.settings;
  auto& site = host.site;
  auto& control = host.control;

  platform::Variant hdrxml = platform::Variant::Bstr(text);
  control.TimeSet(hdrxml);

  // The caller's variant and Box1 hold the escaped text, which gives the input back.
  VARNEX_FUZZ_CHECK(hdrxml.Type() == platform::VarType::Bstr);
  VARNEX_FUZZ_CHECK(hdrxml.AsBstr() == site.BoxText(QStringLiteral("Box1")));
  QString plain;
  VARNEX_FUZZ_CHECK(fuzz::Unescape(hdrxml.AsBstr(), &plain) && plain == text);
  // One box at most: the parser's reason or the failure that stopped the call.
  VARNEX_FUZZ_CHECK(site.messages.size() <= 1);
  // Nothing a fuzzer makes is too large to read.
  VARNEX_FUZZ_CHECK(site.messages.isEmpty() ||
                    !site.messages[0].startsWith(QLatin1String("The document is too large")));
  // Without a box the horizon was taken, and the grid shows it as day numbers.
  if (site.messages.isEmpty()) {
    VARNEX_FUZZ_CHECK(settings.horizonStart() == schedule::DayNumber(control.HorizonStart()));
    VARNEX_FUZZ_CHECK(settings.horizonEnd() == schedule::DayNumber(control.HorizonEnd()));
  }
  return 0;
}

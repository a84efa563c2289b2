#pragma once

#include "app/document_file.h"
#include "control/zeb_varnex.h"
#include "fuzz/fuzz_support.h"
#include "grid/schedule_model.h"
#include "schedule/grid_component.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace varnex::fuzz {

/// One control on the grid model, wired as a host wires it, with a site that keeps what it shows.
struct Host {
  Host() { component.SetEventSink(&control.GridEvents()); }

  grid::ScheduleModel model;
  schedule::GridComponent component{model};
  KeepingSite site;
  control::Zeb_Varnex control{component, site};
};

/// The fuzzer's bytes as a host reads a document file.
[[nodiscard]] inline QString DecodeInput(const std::uint8_t* data, std::size_t size) {
  return app::DecodeUtf8Escaped(
      QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
}

}  // namespace varnex::fuzz

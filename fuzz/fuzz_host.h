#pragma once

#include "app/document_file.h"
#include "control/board.h"
#include "control/zeb_varnex.h"
#include "fuzz/fuzz_support.h"
#include "grid/schedule_model.h"
#include "grid/schedule_settings.h"
#include "tests/support/recording_site.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace varnex::fuzz {

/// One board as a host builds it, with a site that keeps what the control shows.
struct Host {
  testing::RecordingSite site{testing::RecordingSite::Lines::Dropped};
  control::Board board{site};
  grid::ScheduleModel& model = board.Model();
  grid::ScheduleSettings& settings = board.Settings();
  control::Zeb_Varnex& control = board.Control();
};

/// The fuzzer's bytes as a host reads a document file.
[[nodiscard]] inline QString DecodeInput(const std::uint8_t* data, std::size_t size) {
  return app::DecodeUtf8Escaped(
      QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
}

}  // namespace varnex::fuzz

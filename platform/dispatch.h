#pragma once

#include "platform/variant.h"

#include <cstdint>
#include <span>

namespace varnex::platform {

using DispId = std::int32_t;

enum class InvokeKind { Method, PropertyGet, PropertyPut };

/// A component driven late-bound, by DISPID: method calls, property gets and (indexed)
/// property puts. Arguments are passed in order; an argument marked by-reference may be
/// written by the component, and the caller sees the change. A failure is thrown as an
/// AutomationError with the component's number and description.
class Dispatch {
 public:
  virtual ~Dispatch() = default;

  /// The one entry point. `value` is the assigned value of a put and empty otherwise; the
  /// result is the method's or getter's result (empty for a put).
  virtual Variant Invoke(DispId id, InvokeKind kind, std::span<Variant> args,
                         const Variant& value) = 0;

  Variant Call(DispId id, std::span<Variant> args = {}) {
    return Invoke(id, InvokeKind::Method, args, Variant());
  }
  Variant Get(DispId id, std::span<Variant> args = {}) {
    return Invoke(id, InvokeKind::PropertyGet, args, Variant());
  }
  void Put(DispId id, const Variant& value) { Invoke(id, InvokeKind::PropertyPut, {}, value); }
  void Put(DispId id, std::span<Variant> indexes, const Variant& value) {
    Invoke(id, InvokeKind::PropertyPut, indexes, value);
  }
};

/// Receives the events that a component raises, by event id, with their values.
class EventSink {
 public:
  virtual ~EventSink() = default;
  virtual void OnEvent(DispId eventId, std::span<Variant> args) = 0;
};

/// The font object's own property ids (the standard font interface).
namespace font_ids {
inline constexpr DispId kName = 0;
inline constexpr DispId kSize = 2;
inline constexpr DispId kBold = 3;
}  // namespace font_ids

}  // namespace varnex::platform

#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <span>

namespace varnex::orders {

/// The text of the "Order Category" column for an order-type code; a code that is not known
/// is shown as it stands (an empty code gives an empty category).
[[nodiscard]] QString OrderCategoryName(QStringView code);

/// The planning action proposed for an order: the text of its "Action Message" column and,
/// for the actions that have one, the mark drawn on its bar; both are views of static text.
struct Action {
  QStringView message;
  std::optional<QStringView> mark;
};

/// The action for an action code, compared exactly; any other code gives no message and no
/// mark.
[[nodiscard]] Action ActionFor(QStringView code);
/// Every action there is, in the order of their codes.
[[nodiscard]] std::span<const Action> AllActions();

/// The state colour member that a status letter selects.
enum class StateColour { Suggested, Accepted, Firm, Released, Other };
[[nodiscard]] StateColour StateColourFor(QStringView status);

}  // namespace varnex::orders

// Walking the lines of a kind: the menu of kinds with their counts, F3 and Shift+F3, and where
// the planner stands.
#include "grid/schedule_view_p.h"

#include <QAction>
#include <QMenu>
#include <QScrollBar>

#include <algorithm>

namespace varnex::grid {

namespace {

// The position of line among the ascending lines, or -1.
qsizetype indexOf(const std::vector<int>& lines, int line) {
  const auto at = std::lower_bound(lines.begin(), lines.end(), line);
  return at != lines.end() && *at == line ? qsizetype(at - lines.begin()) : -1;
}

}  // namespace

void ScheduleView::Private::chooseKind(int kind) {
  const QList<LineKind> kinds = model->kinds();
  walkNote.clear();
  vScroll->update();
  if (kind < 0 || kind >= kinds.size()) {
    chosenKind = -1;
    chosenLabel.clear();
    announcePosition();
    return;
  }
  chosenKind = kind;
  chosenLabel = kinds[kind].label();
  walkKind(1);
}

void ScheduleView::Private::walkKind(int direction) {
  ensureLayout();
  walkNote.clear();
  if (chosenKind < 0) {
    // The kind the current line's text belongs to, as its first text kind.
    const QList<LineKind> kinds = model->kinds();
    int column = 0;
    for (qsizetype k = 0; k < kinds.size() && chosenKind < 0; ++k) {
      if (kinds[k].test != LineKind::Test::CellText)
        continue;
      column = kinds[k].column;
      if (currentLine > 0 && indexOf(model->linesOf(int(k)), currentLine) >= 0) {
        chosenKind = int(k);
        chosenLabel = kinds[k].label();
      }
    }
    if (chosenKind < 0) {
      walkNote = column > 0 && currentLine > 0
                     ? QStringLiteral(
                           "Nothing to follow: this line's \u201C%1\u201D is none of the "
                           "kinds; choose one from the menu (Shift+F10)")
                           .arg(model->columnCaption(column))
                     : QStringLiteral("Nothing to follow: choose a kind from the menu (Shift+F10)");
      announcePosition();
      return;
    }
    vScroll->update();
  }
  const std::vector<int>& lines = model->linesOf(chosenKind);
  if (lines.empty()) {
    announcePosition();
    return;
  }
  int target = 0;
  QString wrapped;
  if (direction > 0) {
    const auto next = std::upper_bound(lines.begin(), lines.end(), currentLine);
    target = next != lines.end() ? *next : lines.front();
    if (next == lines.end())
      wrapped = QStringLiteral("from the top again");
  } else {
    const auto at = std::lower_bound(lines.begin(), lines.end(), currentLine);
    target = at != lines.begin() ? *(at - 1) : lines.back();
    if (at == lines.begin())
      wrapped = QStringLiteral("from the bottom again");
  }
  // Only one line of the kind, and the planner is on it: it stays, and the wrap is said.
  if (target != currentLine && !pick(target))
    return;
  walkNote = wrapped;
  ensureLineVisible(target, true);
  announcePosition();
}

QString ScheduleView::Private::positionText() const {
  if (chosenKind < 0)
    return walkNote;
  const std::vector<int>& lines = model->linesOf(chosenKind);
  const QLocale locale = q->locale();
  const qsizetype at = indexOf(lines, currentLine);
  QString text =
      at >= 0
          ? QStringLiteral("%1, %2 of %3")
                .arg(chosenLabel, locale.toString(at + 1), locale.toString(qsizetype(lines.size())))
          : QStringLiteral("%1, %2").arg(chosenLabel, lines.empty()
                                                          ? QStringLiteral("none")
                                                          : model->countText(int(lines.size())));
  if (!walkNote.isEmpty())
    text += QStringLiteral(", ") + walkNote;
  return text;
}

void ScheduleView::Private::showKindMenu(const QPoint& globalPos) {
  ensureLayout();
  delete kindMenu.data();
  auto* menu = new QMenu(q);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->setAccessibleName(QStringLiteral("Go to the next line of a kind"));
  const QList<LineKind> kinds = model->kinds();
  const QLocale locale = q->locale();
  bool changes = false;
  for (qsizetype k = 0; k < kinds.size(); ++k) {
    if (kinds[k].test == LineKind::Test::Change && !changes) {
      changes = true;
      menu->addSection(QStringLiteral("Since the last load"));
    }
    const auto count = qsizetype(model->linesOf(int(k)).size());
    QAction* action =
        menu->addAction(QStringLiteral("%1 (%2)").arg(kinds[k].label(), locale.toString(count)));
    action->setCheckable(true);
    action->setChecked(k == chosenKind);
    action->setEnabled(count > 0);
    QObject::connect(action, &QAction::triggered, q, [this, k] { chooseKind(int(k)); });
  }
  if (chosenKind >= 0) {
    menu->addSeparator();
    QObject::connect(menu->addAction(QStringLiteral("Stop following %1").arg(chosenLabel)),
                     &QAction::triggered, q, [this] { chooseKind(-1); });
  }
  if (kinds.isEmpty())
    menu->addAction(QStringLiteral("No kinds of line to follow"))->setEnabled(false);
  kindMenu = menu;
  menu->popup(globalPos);
}

void ScheduleView::Private::onKindsChanged() {
  if (chosenKind >= 0) {
    const QList<LineKind> kinds = model->kinds();
    const auto same = std::find_if(kinds.begin(), kinds.end(),
                                   [&](const LineKind& k) { return k.label() == chosenLabel; });
    chosenKind = same != kinds.end() ? int(same - kinds.begin()) : -1;
    if (chosenKind < 0)
      chosenLabel.clear();
  }
  walkNote.clear();
  vScroll->update();
  title->update();
}

}  // namespace varnex::grid

#include "tools/document_generator.h"

#include <QDateTime>
#include <QList>
#include <QSet>
#include <QTime>

#include <array>

namespace varnex::tools {
namespace {

// splitmix64: small, fast and the same on every platform.
class Random {
 public:
  explicit Random(std::uint64_t seed) : mState(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (mState += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
  template <typename T, std::size_t N>
  const T& Pick(const std::array<T, N>& items) {
    return items[static_cast<std::size_t>(Below(N))];
  }

 private:
  std::uint64_t mState;
};

constexpr std::array<const char*, 12> kItems = {
    "Nuts & Bolts M8 zinc",     "Hex socket screw M6x20",    "Operator's manual, print",
    "Gearbox housing machined", "Drive shaft 40mm hardened", "Bearing 6204-2RS",
    "Motor bracket weldment",   "Cable harness & plugs",     "Pump impeller bronze",
    "Customer's spare kit",     "Control panel assembly",    "Seal ring NBR 52x3"};
constexpr std::array<const char*, 8> kSuppliers = {"Baxter & Co. Ltd",      "O'Brien Precision",
                                                   "Nordwerk GmbH",         "Lindqvist AB",
                                                   "Ferraz Componentes SA", "Harlow's Castings",
                                                   "Tanaka Seiki K.K.",     "In-house"};
constexpr std::array<const char*, 9> kCategories = {"F", "H", "I", "Q", "R", "U", "6", "7", "X9"};
constexpr std::array<const char*, 9> kActions = {"A", "B", "C", "D", "E", "F", "G", "H", ""};
constexpr std::array<const char*, 5> kStatuses = {"D", "E", "F", "G", "C"};
constexpr std::array<const char*, 4> kVariants = {"STD", "EXP", "RH", "LH"};

const QDateTime kBarEpoch(QDate(1980, 1, 1), QTime(0, 0), Qt::UTC);

}  // namespace

QString GenerateHeader(const GeneratorOptions& options) {
  const QDate end = options.start.addDays(options.days - 1);
  return QStringLiteral(
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
             "<header>\n"
             "  <row doc_num=\"MRP-%1\" doctype=\"MRP\" fromtimeperiod=\"%2\" "
             "guid=\"7f3c2a10-%3\" hdncompanycode=\"Kestrel & Sons\" item_codefrom=\"A000\" "
             "item_codeto1=\"Z999\" mplanner1=\"D'Souza\" save_template=\"N\" "
             "supplier_code=\"\" totimeperiod=\"%4\" fprowno=\"1\"/>\n"
             "</header>\n")
      .arg(options.seed)
      .arg(options.start.toString(Qt::ISODate))
      .arg(options.seed, 12, 16, QLatin1Char('0'))
      .arg(end.toString(Qt::ISODate));
}

QString GenerateWorkOrders(const GeneratorOptions& options) {
  Random random(options.seed);
  QString out;
  out.reserve(static_cast<qsizetype>(options.orders) * 300 + 100);
  out += QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<workorders>\n");
  const qint64 horizonStart = kBarEpoch.secsTo(QDateTime(options.start, QTime(0, 0), Qt::UTC));
  const qint64 horizonSeconds = qint64{options.days} * 86400;
  for (int i = 0; i < options.orders; ++i) {
    // Every category, action and status appears in the first rows, then at random.
    const char* category =
        i < 9 ? kCategories[static_cast<std::size_t>(i)] : random.Pick(kCategories);
    const char* action = i < 9 ? kActions[static_cast<std::size_t>(i)] : random.Pick(kActions);
    const char* status = i < 5 ? kStatuses[static_cast<std::size_t>(i)] : random.Pick(kStatuses);
    const int item = random.Below(static_cast<int>(kItems.size()));
    const qint64 length = 3600 * (4 + random.Below(24 * 14));
    const qint64 from =
        horizonStart + random.Below(static_cast<int>(std::max<qint64>(1, horizonSeconds - length)));
    const qint64 to = from + length;
    const int quantity = 5 * (1 + random.Below(200));
    const bool amended = action[0] == 'G' || action[0] == 'D' || action[0] == 'E';
    const QDate newDate = kBarEpoch.addSecs(to + 86400 * (random.Below(15) - 7)).date();
    out += QStringLiteral("  <wo docuemntno=\"WO%1\" item_code=\"IT-%2\" item_variant=\"%3\" ")
               .arg(100000 + i)
               .arg(4000 + item * 37 + random.Below(30))
               .arg(QLatin1String(random.Pick(kVariants)));
    out += QStringLiteral("itemdesc=\"") + QLatin1String(kItems[static_cast<std::size_t>(item)]);
    out += QStringLiteral("\" order_quantity=\"%1\" chk_sc_wo=\"%2\" custnameml=\"")
               .arg(quantity)
               .arg(QLatin1String(category));
    out += QLatin1String(random.Pick(kSuppliers));
    out += QStringLiteral(
               "\" allflag=\"%1\" allmethod=\"%2\" alt_resource=\"%3\" daysfrom=\"%4\" "
               "daysto=\"%5\" Status=\"%6\"/>\n")
               .arg(amended ? QString::number(quantity + 5 * (random.Below(20) - 10)) : QString())
               .arg(amended ? newDate.toString(Qt::ISODate) : QString())
               .arg(QLatin1String(action))
               .arg(from)
               .arg(to)
               .arg(QLatin1String(status));
  }
  out += QStringLiteral("</workorders>\n");
  return out;
}

namespace {

// One order element: its attributes as written, in order.
struct Order {
  QList<std::pair<QString, QString>> attributes;
  QString* value(QStringView name) {
    for (auto& [n, v] : attributes) {
      if (n == name) return &v;
    }
    return nullptr;
  }
};

// The orders of a document written as one empty element each with double-quoted attributes,
// and the text before the first and after the last.
bool ReadOrders(const QString& text, QString* head, QList<Order>* orders, QString* tail) {
  qsizetype at = 0;
  qsizetype end = -1;
  for (;;) {
    const qsizetype open = text.indexOf(QLatin1String("<wo "), at);
    if (open < 0) break;
    if (orders->isEmpty()) *head = text.left(open);
    Order order;
    qsizetype i = open + 4;
    for (;;) {
      while (i < text.size() && text[i].isSpace()) ++i;
      if (text.mid(i, 2) == QLatin1String("/>")) {
        i += 2;
        break;
      }
      const qsizetype equals = text.indexOf(u'=', i);
      if (equals < 0 || equals + 1 >= text.size() || text[equals + 1] != u'"') return false;
      const qsizetype close = text.indexOf(u'"', equals + 2);
      if (close < 0) return false;
      order.attributes.append(
          {text.mid(i, equals - i).trimmed(), text.mid(equals + 2, close - equals - 2)});
      i = close + 1;
    }
    orders->append(order);
    at = end = i;
  }
  if (orders->isEmpty()) return false;
  *tail = text.mid(end);
  return true;
}

}  // namespace

QString GenerateRerun(const QString& previous, std::uint64_t seed, RerunCounts* counts) {
  QString head;
  QString tail;
  QList<Order> orders;
  *counts = {};
  if (!ReadOrders(previous, &head, &orders, &tail)) return {};
  Random random(seed);
  QString out = head;
  int highest = 0;
  QSet<QString> numbers;
  const auto write = [&out](const Order& order) {
    out += QStringLiteral("<wo");
    for (const auto& [name, value] : order.attributes)
      out += QStringLiteral(" %1=\"%2\"").arg(name, value);
    out += QStringLiteral("/>\n  ");
  };
  for (Order& order : orders) {
    if (QString* number = order.value(u"docuemntno")) {
      highest = std::max(highest, QStringView(*number).mid(2).toInt());
      numbers.insert(*number);
    }
    // Of every hundred orders: two go, four move, two change, and the rest stay as they are.
    const int roll = random.Below(100);
    if (roll < 2) {
      ++counts->gone;
      continue;
    }
    if (roll < 6) {
      QString* from = order.value(u"daysfrom");
      QString* to = order.value(u"daysto");
      const qint64 days = (1 + random.Below(10)) * (random.Below(2) == 0 ? -1 : 1);
      if (from && to) {
        *from = QString::number(from->toLongLong() + days * 86400);
        *to = QString::number(to->toLongLong() + days * 86400);
        ++counts->moved;
      }
    } else if (roll < 8) {
      if (QString* quantity = order.value(u"order_quantity")) {
        *quantity = QString::number(quantity->toLongLong() + 5);
        ++counts->changed;
      }
    }
    write(order);
  }
  // New orders after the others: copies of earlier ones under numbers not used before.
  const int added = std::max(1, int(orders.size()) / 50);
  for (int i = 0; i < added; ++i) {
    Order order = orders[random.Below(int(orders.size()))];
    if (QString* number = order.value(u"docuemntno")) {
      do {
        *number = QStringLiteral("WO%1").arg(++highest);
      } while (numbers.contains(*number));
    }
    write(order);
    ++counts->added;
  }
  out.chop(3);  // the line end and indent after the last order
  out += tail;
  return out;
}

}  // namespace varnex::tools

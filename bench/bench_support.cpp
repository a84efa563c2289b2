#include "bench/bench_support.h"

#include "tools/document_generator.h"

#include <map>

namespace varnex::bench {

const QString& HeaderDocument() {
  static const QString header = tools::GenerateHeader(tools::GeneratorOptions{});
  return header;
}

const QString& WorkOrderDocument(int orders) {
  static std::map<int, QString> documents;
  auto it = documents.find(orders);
  if (it == documents.end()) {
    tools::GeneratorOptions options;
    options.orders = orders;
    options.seed = 20250106;
    it = documents.emplace(orders, tools::GenerateWorkOrders(options)).first;
  }
  return it->second;
}

}  // namespace varnex::bench

#include "footprint/block_check.h"

#include "config/name_rules.h"

std::optional<std::string> brokenNameField(const AppContext& ctx) {
  auto findings = blockNameFindings(ctx.config, ctx.plan.ExtraCopyList->items(), ctx.plan.PreserveList->items());
  if (findings.empty()) return std::nullopt;
  return findings.front().field;
}

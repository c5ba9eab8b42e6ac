#include "analyses/body_weights.h"

#include <cstdio>

#include "app/module_report.h"
#include "app/output.h"

bool WeightsFit(const double* weights, int count, const std::vector<std::string>& labels) {
  const int bad = FirstBadWeight(weights, count);
  if (bad < 0) return true;
  const std::string body = static_cast<std::size_t>(bad) < labels.size()
                               ? labels[static_cast<std::size_t>(bad)]
                               : "body " + std::to_string(bad + 1);
  char message[200];
  std::snprintf(message, sizeof message,
                "\n ERROR! The weight of %s, %g, is not a number within %.0f..%.0f \n",
                body.c_str(), weights[bad], -kMaxBodyWeight, kMaxBodyWeight);
  PrintOut("%s", message);
  ModuleEndedEarly(message);
  return false;
}

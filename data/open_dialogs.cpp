#include "data/open_dialogs.h"

#include <algorithm>

namespace {
std::vector<OpenDialog*> openDialogs;
int lastSerial = 0;
}  // namespace

OpenDialogScope::OpenDialogScope(OpenDialog& dialog) : dialog_(dialog) {
  dialog_.serial = ++lastSerial;
  openDialogs.push_back(&dialog_);
}

OpenDialogScope::~OpenDialogScope() {
  openDialogs.erase(std::remove(openDialogs.begin(), openDialogs.end(), &dialog_), openDialogs.end());
}

OpenDialog* TopOpenDialog() { return openDialogs.empty() ? nullptr : openDialogs.back(); }

// The pages and dialogs of the program, as app/Pages.def lists them.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/DialogModel.h"
#include "ui/Page.h"
#include "ui/Session.h"

namespace tarnwick {

struct RegisteredPage {
  std::string key;  // the console's name for it; empty when it has nothing to show
  // A page of the sheet.
  std::function<std::unique_ptr<Page>(Session&)> makePage;
  // A dialog, opened by clicking button on the page whose key is opener.
  std::function<std::unique_ptr<DialogModel>(Session&)> makeDialog;
  std::string opener;
  int button = 0;

  bool IsPage() const { return makePage != nullptr; }
};

// In the registry's order: the sheet's tab order for the pages.
const std::vector<RegisteredPage>& PageRegistry();
// The entry of key, or null.
const RegisteredPage* FindPage(const std::string& key);

}  // namespace tarnwick

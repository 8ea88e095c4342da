// The General page: two pictures, and the save of the router configuration on Close.
#pragma once

#include <string>

#include "app/GeneralIds.h"
#include "ui/Page.h"
#include "ui/Session.h"

namespace tarnwick {

class General : public Page {
 public:
  static constexpr const char* kSavingText = "Please wait a moment while config is being saved.";

  explicit General(Session& session) : Page(session) {}
  int TemplateId() const override { return IDD_GENERAL; }
  std::string Caption() const override { return "General"; }

  void OnInitDialog() override { view().CancelToClose(); }
  void OnSheetOk() override { SaveOnSheetOk(); }

  void SaveOnSheetOk();
};

}  // namespace tarnwick

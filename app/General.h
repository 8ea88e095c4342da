#pragma once

#include <string>

#include "app/Bindings.h"
#include "app/Session.h"

namespace tarnwick {

// The picture page shown first; it saves the router configuration when the sheet is
// closed after a change.
class General : public DialogModel {
 public:
  static constexpr int kTemplate = 129;
  static constexpr const char* kSavingText = "Please wait a moment while config is being saved.";

  explicit General(Session& session);
  int TemplateId() const override { return kTemplate; }
  std::string Caption() const override { return "General"; }

  void OnInitDialog() override;
  void OnSheetOk() override { SaveOnSheetOk(); }

  void SaveOnSheetOk();

 private:
  Session& session_;
};

}  // namespace tarnwick

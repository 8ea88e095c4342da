// The registry, made from app/Pages.def and the page headers the build collected from it.
#include "app/PageRegistry.h"

#include "app/PageHeaders.h"

namespace tarnwick {
namespace {

template <typename Model>
RegisteredPage Entry(const char* key) {
  return {key, [](Session& s) { return std::make_unique<Model>(s); }, nullptr, "", 0};
}

template <typename Model>
RegisteredPage Entry(const char* key, const char* opener, int button) {
  return {key, nullptr, [](Session& s) { return std::make_unique<Model>(s); }, opener, button};
}

}  // namespace

const std::vector<RegisteredPage>& PageRegistry() {
#define TARNWICK_PAGE(key, folder, Model) Entry<Model>(key),
#define TARNWICK_DIALOG(key, folder, Model, opener, button) Entry<Model>(key, opener, button),
  static const std::vector<RegisteredPage> entries = {
#include "app/Pages.def"
  };
#undef TARNWICK_PAGE
#undef TARNWICK_DIALOG
  return entries;
}

const RegisteredPage* FindPage(const std::string& key) {
  for (const RegisteredPage& entry : PageRegistry())
    if (!key.empty() && entry.key == key) return &entry;
  return nullptr;
}

}  // namespace tarnwick

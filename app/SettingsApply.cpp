// Applying a settings file: each page read afresh, compared, and worked through its model.
#include "app/SettingsApply.h"

#include <algorithm>

namespace tarnwick {
namespace {

// A router that moved its LAN side rebuilds its interfaces before it takes a log-in again.
constexpr Millis kAfterLanChangeMs = 5000;

bool IsMultiplePvc(const SettingsFile& file) {
  const ShownPage* pvc = file.Page("pvc");
  return pvc && pvc->table && pvc->table->rows.size() > 1;
}

class Applier {
 public:
  Applier(Session& session, NotingUi& noted, bool dryRun)
      : session_(session),
        noted_(noted),
        dryRun_(dryRun),
        pages_(session, Secrets{true, kLoginPasswordMarker}) {}

  ApplyReport Run(const SettingsFile& file) {
    const bool multiplePvc = IsMultiplePvc(file);
    for (const RegisteredPage& entry : PageRegistry()) {
      const ShownPage* want = file.Page(entry.key);
      if (!want) continue;
      // The line's PVCs are written with the line, by the Line page or by the Multiple PVC
      // dialog it opens (after the line's own values are typed).
      if (entry.key == "line" && multiplePvc) continue;
      if (entry.key == "pvc" && !multiplePvc) continue;
      PageApply done = Apply(entry, *want, file);
      const bool stop =
          done.status == PageApply::Status::Refused || done.status == PageApply::Status::Asked;
      report_.pages.push_back(std::move(done));
      if (stop) break;
    }
    session_.router.mode = Router::Mode::Live;
    return std::move(report_);
  }

 private:
  // The page as it now reads: its settings, and its list.
  ShownPage ReadNow(const RegisteredPage& entry) {
    session_.router.mode = Router::Mode::ReadOnly;
    ShownPage now;
    if (entry.IsPage()) {
      PageSet::Opened& opened = pages_.Open(entry, true);
      now = pages_.Shown(entry.key, *opened.page, opened.view);
    } else {
      now = pages_.Read(entry);
    }
    std::erase_if(now.fields, [](const ShownValue& v) { return v.role != Role::Setting; });
    return now;
  }

  // Types or clicks each value in the page's order (a click's handler may change the controls
  // after it); the first that the page cannot take, if any.
  std::optional<std::string> Enter(DialogModel& model, const ShownPage& want) {
    for (const ShownValue& value : want.fields) {
      if (!model.description().Enter(model.view(), value.key, value.value))
        return want.key + "." + value.key + ": the page has no such choice";
    }
    return std::nullopt;
  }

  // The rows the list is to hold: the file's, but the log-in password's row is left as the
  // router has it.
  std::vector<ListRow> WantedRows(const ShownPage& now, const ShownPage& want) {
    std::vector<ListRow> rows;
    auto isLogin = [](const ListRow& row) {
      return std::any_of(row.begin(), row.end(),
                         [](const auto& cell) { return cell.second == kLoginPasswordMarker; });
    };
    const std::string& password = session_.channel.RouterPassword;
    for (ListRow row : RowsOf(*want.table)) {
      if (!isLogin(row)) rows.push_back(std::move(row));
    }
    if (now.table) {
      for (ListRow row : RowsOf(*now.table)) {
        if (!isLogin(row)) continue;
        for (auto& [key, cell] : row)
          if (cell == kLoginPasswordMarker) cell = password;
        rows.push_back(std::move(row));
      }
    }
    return rows;
  }

  // Works one page or dialog to the file's settings; the first refusal, if any.
  std::optional<std::string> Work(DialogModel& model, const ShownPage& now, const ShownPage& want,
                                  bool valuesDiffer) {
    if (auto problem = Enter(model, want)) return problem;
    for (const ListDescription& list : model.description().Lists()) {
      if (!want.table || list.key != want.table->name) continue;
      if (ComparePage(now, ShownPage{want.key, want.caption, {}, want.table}).Empty()) continue;
      if (std::optional<ListRow> row = model.PutRows(list.id, WantedRows(now, want))) {
        std::string cells;
        for (const auto& [key, cell] : *row)
          cells += (cells.empty() ? "" : ", ") + key + " " + cell;
        return "the " + want.caption + " page cannot add this row with its form: " + cells;
      }
    }
    if (noted_.Failed() || noted_.Declined()) return std::nullopt;
    const int write = model.description().WriteButton();
    if (write && (valuesDiffer || want.key == "pvc")) model.OnCommand(write);
    return std::nullopt;
  }

  PageApply Apply(const RegisteredPage& entry, const ShownPage& want, const SettingsFile& file) {
    ShownPage now = ReadNow(entry);
    PageApply done{entry.key, now.caption.empty() ? want.caption : now.caption, {}, {}, {}, {}};
    PageDifference diff = ComparePage(now, want);
    const RegisteredPage* line = FindPage("line");
    const ShownPage* lineWant = file.Page("line");
    ShownPage lineNow;
    if (entry.key == "pvc" && line && lineWant) {
      lineNow = ReadNow(*line);
      const PageDifference lineDiff = ComparePage(lineNow, *lineWant);
      diff.values.insert(diff.values.end(), lineDiff.values.begin(), lineDiff.values.end());
      now = ReadNow(entry);
    }
    if (diff.Empty()) return done;
    done.difference = diff;

    noted_.Forget();
    session_.router.mode = dryRun_ ? Router::Mode::Record : Router::Mode::Live;
    session_.router.written = &done.lines;
    const std::string address = session_.channel.RouterAddress;
    std::optional<std::string> refused;
    if (entry.IsPage()) {
      PageSet::Opened& opened = pages_.Open(entry);
      refused = Work(*opened.page, now, want, !diff.values.empty());
    } else {
      // The line's own values first, as a user types them before opening the dialog.
      if (entry.key == "pvc" && line && lineWant)
        refused = Enter(*pages_.Open(*line).page, *lineWant);
      bool opened = refused.has_value();
      if (!refused)
        opened = pages_.OpenDialog(entry, [&](DialogModel& dialog) {
          refused = Work(dialog, now, want, !diff.values.empty());
        });
      if (!opened && !refused && !noted_.Declined() && !noted_.Failed())
        refused = "the " + want.caption + " dialog did not open";
    }
    session_.router.written = nullptr;
    session_.router.mode = Router::Mode::ReadOnly;

    if (const auto question = noted_.Declined()) {
      done.status = PageApply::Status::Asked;
      done.message = *question;
    } else if (refused || noted_.Failed()) {
      done.status = PageApply::Status::Refused;
      done.message = refused ? *refused : noted_.errors.front();
    } else {
      done.status = PageApply::Status::Applied;
    }
    if (session_.channel.RouterAddress != address) {
      if (dryRun_) {
        session_.channel.RouterAddress = address;
      } else {
        report_.movedTo = session_.channel.RouterAddress;
        session_.router.Reconnect(kAfterLanChangeMs);
      }
    }
    return done;
  }

  Session& session_;
  NotingUi& noted_;
  bool dryRun_;
  PageSet pages_;
  ApplyReport report_;
};

}  // namespace

bool ApplyReport::Stopped() const {
  return std::any_of(pages.begin(), pages.end(), [](const PageApply& p) {
    return p.status == PageApply::Status::Refused || p.status == PageApply::Status::Asked;
  });
}

bool ApplyReport::Changed() const {
  return std::any_of(pages.begin(), pages.end(),
                     [](const PageApply& p) { return !p.lines.empty(); });
}

ApplyReport ApplySettings(Session& session, NotingUi& noted, const SettingsFile& file,
                          bool dryRun) {
  return Applier(session, noted, dryRun).Run(file);
}

}  // namespace tarnwick

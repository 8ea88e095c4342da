// The Multiple PVC dialog on a router, opened and worked as the Line page and the user do.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "multipvc/CMULTIPVC.h"
#include "support/PageBench.h"

namespace tarnwick::testing {

using Rows = std::vector<std::vector<std::string>>;

// Rows written one per text, their cells joined by "|".
inline Rows Table(const std::vector<std::string>& rows) {
  Rows out;
  for (const std::string& row : rows) {
    out.emplace_back();
    for (std::size_t at = 0, bar = 0; bar != std::string::npos; at = bar + 1) {
      bar = row.find('|', at);
      out.back().push_back(row.substr(at, bar == std::string::npos ? bar : bar - at));
    }
  }
  return out;
}

inline std::string Spec(const std::string& mode, const std::string& vpi, const std::string& vci) {
  return "//bun/port=atm/rfc1483=true/mode=" + mode + "/txvpi=" + vpi + "/txvci=" + vci +
         "/rxvpi=" + vpi + "/rxvci=" + vci;
}

// One PVC as the user enters it before pressing Add.
struct Entry {
  int protocol;  // a radio button id; 0 for none
  std::string vpi, vci;
  std::string ip = {}, mask = {}, remote = {};  // dotted; missing parts leave boxes empty
  bool nat = false, vcMux = false, autoWan = false;
};

// The dialog, its bench and the user's gestures.
template <typename Bench>
struct PvcDialogRig {
  PvcDialogRig() {
    bench.session.line.PvcModeNormal = 1;
    dialog.LanIp = "192.168.1.1";
    dialog.LanMask = "ff:ff:ff:0";
  }

  Rows Open() {
    bench.Open(dialog);
    return Shown();
  }
  Rows Shown() const { return bench.view.Rows(IDC_MULTIPVC_LIST); }
  // The listings the dialog reads, as the router prints them.
  void Serve(const std::string& command, const std::string& output) {
    bench.router.outputs[command + "\r\n"] = output;
  }

  // A click as the platform delivers it: an auto radio button or check box changes first.
  void Click(int id) {
    for (const std::vector<int>& group :
         {std::vector<int>{IDC_MULTIPVC_BRIDGED, IDC_MULTIPVC_ROUTED, IDC_MULTIPVC_IPOA},
          std::vector<int>{IDC_MULTIPVC_LLC, IDC_MULTIPVC_VCMUX}})
      if (std::find(group.begin(), group.end(), id) != group.end())
        for (int other : group) bench.view.SetChecked(other, other == id);
    if (id == IDC_MULTIPVC_AUTOWAN || id == IDC_MULTIPVC_NAT)
      bench.view.SetChecked(id, !bench.view.IsChecked(id));
    dialog.OnCommand(id);
  }

  void Add(const Entry& e) {
    Click(e.protocol);
    bench.view.SetText(IDC_MULTIPVC_VPI, e.vpi);
    bench.view.SetText(IDC_MULTIPVC_VCI, e.vci);
    for (const auto& [field, dotted] : {std::pair{&dialog.EditWanIpOctets, e.ip},
                                        {&dialog.EditWanMaskOctets, e.mask},
                                        {&dialog.EditRemoteIpOctets, e.remote}}) {
      std::size_t at = 0;
      for (int id : field->ids()) {
        const std::size_t dot = std::min(dotted.find('.', at), dotted.size());
        bench.view.SetText(id, at < dotted.size() ? dotted.substr(at, dot - at) : "");
        at = dot + 1;
      }
    }
    for (const auto& [on, id] : {std::pair{e.nat, IDC_MULTIPVC_NAT},
                                 {e.vcMux, IDC_MULTIPVC_VCMUX},
                                 {e.autoWan, IDC_MULTIPVC_AUTOWAN}})
      if (on) Click(id);
    Click(IDC_MULTIPVC_ADD);
  }

  Bench bench;
  CMULTIPVC dialog{bench.session};
};

// A logged-in dialog on canned listings.
struct CannedPvcRig : PvcDialogRig<CannedBench> {
  CannedPvcRig() { EXPECT_TRUE(bench.Login()); }
};

}  // namespace tarnwick::testing

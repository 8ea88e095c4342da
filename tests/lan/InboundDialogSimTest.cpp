// The NAT inbound dialog against the simulator: rules added, removed and refused, and rows that
// always carry the router's numbering.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lan/CINBOUND.h"
#include "support/SimBench.h"

namespace tarnwick {
namespace {

using Rows = std::vector<std::vector<std::string>>;

class InboundRules : public ::testing::Test {
 protected:
  void SetUp() override {
    routersim::Options options;
    options.preset = "pppoe";
    bench.Start(&options);
    for (const char* rule : {"ppp_device 21/tcp 192.168.1.21", "ppp_device 22/tcp 192.168.1.22",
                             "ppp_device 23/udp 192.168.1.23"})
      bench.sim->RunCommand(std::string("nat inbound add ") + rule);
    bench.Open(dialog);
    bench.sim->ClearTranscript();
  }
  void Add(const std::string& port, bool udp, std::string host) {
    bench.view.SetText(IDC_INBOUND_PORT, port);
    bench.view.SetChecked(IDC_INBOUND_TCP, !udp);
    bench.view.SetChecked(IDC_INBOUND_UDP, udp);
    host += '.';
    for (int id : dialog.HostIpOctets.ids()) {
      const std::size_t dot = host.find('.');
      bench.view.SetText(id, host.substr(0, dot));
      host.erase(0, dot + 1);
    }
    dialog.OnOK();
  }
  Rows Shown() const { return bench.view.Rows(IDC_INBOUND_LIST); }
  std::string RouterList() { return bench.sim->RunCommand("nat inbound list"); }

  testing::SimBench bench;
  CINBOUND dialog{bench.session, 4};
};

TEST_F(InboundRules, AddOnAPppoeLine) {
  ASSERT_EQ(Shown().size(), 3u);
  Add("8080", true, "192.168.1.20");
  EXPECT_TRUE(bench.ui.messages.empty());
  EXPECT_EQ(bench.Commands(),
            (std::vector<std::string>{"nat inbound add ppp_device 8080/udp 192.168.1.20\r\n",
                                      "nat inbound list\r\n"}));
  ASSERT_EQ(Shown().size(), 4u);
  EXPECT_EQ(Shown()[3], (std::vector<std::string>{"ppp_device", "8080/UDP", " 192.168.1.20"}));
  EXPECT_TRUE(bench.session.ConfigChanged);
  EXPECT_TRUE(bench.view.endResults.empty()) << "the dialog stays open";
}

TEST_F(InboundRules, AFailedAddLeavesNoRowSoRemoveStillDeletesTheRightRule) {
  dialog.LineProtocol = 1;  // wan1: not on a PPPoE router
  Add("8080", false, "192.168.1.20");
  EXPECT_EQ(bench.ui.Texts(),
            std::vector<std::string>{"Error in Winsock. Interface does not exist"});
  EXPECT_EQ(Shown().size(), 3u);
  dialog.LineProtocol = 4;
  Add("24", false, "192.168.1.24");
  ASSERT_EQ(Shown().size(), 4u);

  bench.sim->ClearTranscript();
  bench.view.SelectRows(IDC_INBOUND_LIST, {3});
  dialog.OnCommand(IDC_INBOUND_REMOVE);
  EXPECT_EQ(bench.Commands(),
            (std::vector<std::string>{"nat inbound delete 4\r\n", "nat inbound list\r\n"}));
  EXPECT_EQ(RouterList().find("24/TCP"), std::string::npos);
  EXPECT_EQ(Shown().size(), 3u);
}

TEST_F(InboundRules, RemoveTakesTheFirstSelectedRow) {
  bench.view.SelectRows(IDC_INBOUND_LIST, {1, 2});
  dialog.OnCommand(IDC_INBOUND_REMOVE);
  EXPECT_EQ(bench.Commands().front(), "nat inbound delete 2\r\n");
  EXPECT_EQ(Shown(), (Rows{{"ppp_device", "21/TCP", " 192.168.1.21"},
                           {"ppp_device", "23/UDP", " 192.168.1.23"}}));
  EXPECT_TRUE(bench.session.ConfigChanged);

  bench.sim->ClearTranscript();
  bench.view.SelectRows(IDC_INBOUND_LIST, {});
  dialog.OnCommand(IDC_INBOUND_REMOVE);
  EXPECT_TRUE(bench.Commands().empty()) << "nothing selected, nothing sent";
}

TEST_F(InboundRules, RemoveAllFlushesOnlyAListThatHasRows) {
  dialog.OnCommand(IDC_INBOUND_REMOVE_ALL);
  EXPECT_EQ(bench.Commands(),
            (std::vector<std::string>{"nat inbound flush\r\n", "nat inbound list\r\n"}));
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(RouterList(), "(NATINBOUNDLIST):\r\n");

  bench.sim->ClearTranscript();
  bench.session.ConfigChanged = false;
  dialog.OnCommand(IDC_INBOUND_REMOVE_ALL);
  EXPECT_TRUE(bench.Commands().empty());
  EXPECT_FALSE(bench.session.ConfigChanged);
}

TEST_F(InboundRules, EveryChangeWithoutAConnectionSaysSoAndChangesNothing) {
  bench.sim->Stop();
  bench.view.SelectRows(IDC_INBOUND_LIST, {0});
  for (int id : {IDC_INBOUND_ADD, IDC_INBOUND_REMOVE, IDC_INBOUND_REMOVE_ALL}) {
    bench.ui.messages.clear();
    if (id == IDC_INBOUND_ADD)
      Add("80", false, "192.168.1.80");
    else
      dialog.OnCommand(id);
    EXPECT_EQ(bench.ui.Texts(), std::vector<std::string>{"Winsock connection is not created"})
        << id;
  }
  EXPECT_EQ(Shown().size(), 3u);
  EXPECT_FALSE(bench.session.ConfigChanged);
}

}  // namespace
}  // namespace tarnwick

"""fleet_test.py CLI ROUTERSIM SOURCE_DIR: the README's example playbooks (contrib/ansible) with
--forks 4 on four simulators, their passwords vaulted. TARNWICK_ANSIBLE_PACE: the modules' pace
(default fast)."""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

import yaml
from ansible.parsing.vault import VaultLib, VaultSecret

CLI, ROUTERSIM, SOURCE = sys.argv[1], sys.argv[2], sys.argv[3]
EXAMPLES = os.path.join(SOURCE, "contrib", "ansible", "examples")
PLAYBOOK = shutil.which("ansible-playbook", path="/usr/bin:" + os.environ["PATH"])
RANGE_LINE = "dhcpserver config add range 192.168.1.100 192.168.1.199;\\r\\n"  # as noted
PRESETS = {"r1": "pppoe", "r2": "routed", "r3": "bridged", "r4": "pppoa"}
PASSWORDS = {name: "Tw-fleet-%s-pw" % name for name in PRESETS}
failures, routers = [], {}
work = tempfile.mkdtemp(prefix="tarnwick-fleet-")
os.makedirs(os.path.join(work, "bin"))
os.symlink(os.path.abspath(CLI), os.path.join(work, "bin", "tarnwick-cli"))  # "installed"
env = {k: v for k, v in os.environ.items()
       if k not in ("ANSIBLE_COLLECTIONS_PATH", "ANSIBLE_COLLECTIONS_PATHS", "TARNWICK_PASSWORD")}
env.update(PATH=os.path.join(work, "bin") + ":/usr/bin:/bin", ANSIBLE_NOCOLOR="1",
           ANSIBLE_CONFIG=os.path.join(EXAMPLES, "ansible.cfg"),  # finds the collection
           ANSIBLE_HOME=os.path.join(work, "home"), ANSIBLE_LOCAL_TEMP=os.path.join(work, "tmp"),
           ANSIBLE_REMOTE_TMP=os.path.join(work, "tmp"), ANSIBLE_CALLBACKS_ENABLED="tree",
           ANSIBLE_CALLBACK_TREE_DIR=os.path.join(work, "tree"), PYTHONDONTWRITEBYTECODE="1")


def check(condition, what, detail=""):
    if not condition:
        failures.append("%s\n%s" % (what, detail))
        print("FAILED: " + what, file=sys.stderr)


def received(name):
    """Every line the router received so far, as its transcript notes it."""
    with open(os.path.join(work, name + ".transcript"), errors="replace") as text:
        return [line.rstrip("\n").split("\t", 1)[1] for line in text if "\t" in line]


def write_inventory(path, passwords):
    vault = VaultLib([("default", VaultSecret(b"fleet-test-vault-key"))])
    lines = ["all:", "  vars:", "    ansible_connection: local",
             '    ansible_python_interpreter: "{{ ansible_playbook_python }}"']
    lines.append("    tarnwick_pace: %s" % os.environ.get("TARNWICK_ANSIBLE_PACE", "fast"))
    lines += ["  children:", "    branches:", "      hosts:"]
    for name, router in routers.items():
        lines += ["        %s:" % name, "          tarnwick_host: 127.0.0.1",
                  "          tarnwick_port: %d" % router["port"],
                  "          tarnwick_password: !vault |"]
        lines += ["            " + row for row in vault.encrypt(passwords[name]).decode().split()]
    with open(os.path.join(work, path), "w") as out:
        out.write("\n".join(lines) + "\n")


def cli(name, *command):
    return subprocess.Popen([CLI, "--port", str(routers[name]["port"]), "127.0.0.1"] +
                            list(command), env=dict(env, TARNWICK_PASSWORD=PASSWORDS[name]),
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)


def playbook(*words, inventory="inventory.yml"):
    shutil.rmtree(os.path.join(work, "tree"), ignore_errors=True)
    return subprocess.Popen([PLAYBOOK, "-i", os.path.join(work, inventory), "--forks", "4",
                             "--vault-password-file", os.path.join(work, "vault-key")] +
                            list(words), env=env, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, text=True)


def finished(process):
    out, err = process.communicate(timeout=120)
    if process.args[0] == PLAYBOOK:  # kept with the files when a check fails
        with open(os.path.join(work, "playbook-%d.log" % process.pid), "w") as log:
            log.write(" ".join(process.args) + "\n" + out)
    return process.returncode, out, err


def recap(output):
    """PLAY RECAP: host -> {"ok": n, "changed": n, "failed": n, ...}."""
    return {host: {k: int(v) for k, v in re.findall(r"(\w+)=(\d+)", counts)}
            for host, counts in re.findall(r"^(\S+)\s+:\s+(ok=.*)$", output, re.M)}


def changed(output):
    return [recap(output).get(name, {}).get("changed") for name in routers]


def results():
    """Each host's last result, as the tree callback kept it."""
    tree = os.path.join(work, "tree")
    return {host: json.load(open(os.path.join(tree, host))) for host in os.listdir(tree)}


def without_saved(path):
    return {k: v for k, v in json.load(open(path)).items() if k != "saved"}


completed = False
try:
    for name, preset in PRESETS.items():
        process = subprocess.Popen(
            [ROUTERSIM, "--port", "0", "--preset", preset, "--password", PASSWORDS[name],
             "--dsl-drift", "0", "--transcript", os.path.join(work, name + ".transcript")],
            stdout=subprocess.PIPE, text=True)
        line = process.stdout.readline()  # "tarnwick-routersim listening on H:P (password ...)"
        routers[name] = dict(process=process, port=int(line.split()[3].rsplit(":", 1)[1]))
    with open(os.path.join(work, "vault-key"), "w") as key:
        key.write("fleet-test-vault-key\n")
    write_inventory("inventory.yml", PASSWORDS)
    write_inventory("wrong.yml", dict(PASSWORDS, r4="not-the-password"))

    # Meanwhile: a module hands its pace to tarnwick-cli, the password only in the environment
    # (a stand-in cli notes what it gets).
    fake = os.path.join(work, "fake-cli")
    with open(fake, "w") as script:
        script.write('#!/bin/sh\nprintf "%%s\\n" "$@" "env=$TARNWICK_PASSWORD" >%s/args\n'
                     "echo '{}'\n" % work)
    os.chmod(fake, 0o755)
    pace = subprocess.Popen(
        [PLAYBOOK[:-len("-playbook")], "localhost", "-m", "quorvane.tarnwick.tarnwick_facts", "-a",
         "cli=%s host=127.0.0.1 port=2323 password=Tw-pace-pw pace=fast page=dhcp" % fake],
        env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)

    # 1. The back-up: four files, each what tarnwick-cli save writes of its router.
    saves = {name: cli(name, "save", os.path.join(work, name + ".saved.json")) for name in routers}
    backups = os.path.join(work, "backups")
    rc, out, _ = finished(playbook(os.path.join(EXAMPLES, "backup.yml"),
                                   "-e", "backup_dir=" + backups))
    check(rc == 0 and changed(out) == [0] * 4, "the back-up succeeds, changing nothing", out)
    for name in routers:
        status, _, err = finished(saves[name])
        mine = os.path.join(backups, name + ".json")
        check(status == 0 and os.path.exists(mine) and without_saved(mine) == without_saved(
            os.path.join(work, name + ".saved.json")), "the back-up of %s is its save" % name, err)
    reading = {name: set(received(name)) for name in routers}  # what a reading sends
    status, out, _ = finished(pace)
    check(status == 0 and open(os.path.join(work, "args")).read().split() == [
        "--port", "2323", "--pace", "fast", "--", "127.0.0.1", "show", "dhcp", "--json",
        "env=Tw-pace-pw"], "pace reaches tarnwick-cli, the password its environment only", out)

    # 2. r1 and r2 already have the range that the push brings.
    with open(os.path.join(EXAMPLES, "push-dhcp.yml")) as text:
        settings = yaml.safe_load(text)[0]["tasks"][0]["quorvane.tarnwick.tarnwick_settings"]
    with open(os.path.join(work, "range.json"), "w") as out_file:
        json.dump(dict(format="tarnwick-settings", version=1, **settings["settings"]), out_file)
    for apply in [cli(name, "apply", os.path.join(work, "range.json")) for name in ("r1", "r2")]:
        status, _, err = finished(apply)
        check(status == 0, "tarnwick-cli apply of the range", err)
    before = {name: len(received(name)) for name in routers}

    # 3. --check --diff: r3 and r4 would change and show how; no router gets a write line.
    push = os.path.join(EXAMPLES, "push-dhcp.yml")
    rc, out, _ = finished(playbook(push, "--check", "--diff"))
    check(rc == 0 and changed(out) == [0, 0, 1, 1], "check mode: r3 and r4 would change", out)
    check(out.count('+  IP Range Start (RangeStart): "192.168.1.100"') == 2 and
          out.count('+  IP Range End (RangeEnd): "192.168.1.199"') == 2 and
          out.count("--- before: router 127.0.0.1:") == 2, "--diff shows each difference", out)
    check(all(results().get(n, {}).get("commands") for n in ("r3", "r4")),
          "check mode reports the lines it would send", json.dumps(results()))
    for name in routers:
        sent = received(name)[before[name]:]
        check(sent and set(sent) <= reading[name], "check mode sends %s only readings" % name,
              "\n".join(sent))

    # 4. The push writes r3 and r4; a second run changes nothing.
    before = {name: len(received(name)) for name in routers}
    rc, out, _ = finished(playbook(push))
    check(rc == 0 and changed(out) == [0, 0, 1, 1], "the push changes r3 and r4 only", out)
    wrote = [RANGE_LINE in received(name)[before[name]:] for name in routers]
    check(wrote == [False, False, True, True], "the range is written to r3 and r4 alone", wrote)
    rc, out, _ = finished(playbook(push))
    check(rc == 0 and changed(out) == [0] * 4, "a second push changes nothing", out)

    # 5. r4's password is wrong: r4 fails with its message; r2 and r3 read their pages (the facts
    #    are show all --json) and r1 is refused a value, failing with the page's own words.
    shows = {name: cli(name, "show", "all", "--json") for name in ("r2", "r3")}
    rc, out, _ = finished(playbook(os.path.join(SOURCE, "tests", "ansible",
                                                "facts-and-refusal.yml"), inventory="wrong.yml"))
    stats, done = recap(out), results()
    check(not any(word in out for word in list(PASSWORDS.values()) + ["not-the-password"]),
          "no password shows, not even the wrong one", out)
    check(rc != 0 and [stats.get(n, {}).get("failed") for n in routers] == [0, 0, 0, 1] and
          "log-in to 127.0.0.1:%d failed" % routers["r4"]["port"] in done["r4"].get("msg", ""),
          "r4 alone fails, saying its log-in failed", out)
    shown = {name: done.get(name, {}).get("msg") for name in ("r1", "r2", "r3")}
    for name, show in shows.items():
        status, text, err = finished(show)
        facts, pages = shown[name]["facts"], json.loads(text)
        for page in (facts, pages):  # the ATM counters count on between the two readings
            for key in [key for key in page["dsl"] if key.startswith("Packets")]:
                del page["dsl"][key]
        check(status == 0 and facts == pages, "the facts of %s are show all" % name,
              [(k, facts.get(k), pages.get(k)) for k in pages if facts.get(k) != pages.get(k)])
    refused = shown["r1"]["refused"]
    check(refused.get("failed") is True and refused.get("changed") is False and
          refused.get("msg") == "DHCP (dhcp): NetworkID, SubnetMask, IP Range Start/End fields "
          "cannot be empty.", "a refused value fails with the page's message", refused)

    completed = True
finally:
    for router in routers.values():
        router["process"].terminate()
        router["process"].wait()
    if completed and not failures:
        shutil.rmtree(work, ignore_errors=True)
if failures or not completed:
    print("\n\n".join(failures) + "\n(files kept in %s)" % work, file=sys.stderr)
    sys.exit(1)
print("fleet_test: every check passed")

# -*- coding: utf-8 -*-
# Running tarnwick-cli for the collection's modules: its options from the module's, the
# router password through the environment (never on a command line), and its messages.

from __future__ import absolute_import, division, print_function

__metaclass__ = type

import json

from ansible.module_utils.basic import env_fallback

def cli_argument_spec():
    """The options every module of the collection takes to reach a router."""
    return dict(
        host=dict(type="str", required=True),
        port=dict(type="int"),
        password=dict(type="str", required=True, no_log=True,
                      fallback=(env_fallback, ["TARNWICK_PASSWORD"])),
        timeout=dict(type="int"),
        log=dict(type="path"),
        pace=dict(type="str"),
        cli=dict(type="path", default="tarnwick-cli"),
    )


def cli_words(module, command):
    """tarnwick-cli [OPTIONS] HOST COMMAND...: the program, its options, the host, command."""
    params = module.params
    words = [params["cli"]]
    if params["port"] is not None:
        words += ["--port", str(params["port"])]
    if params["timeout"] is not None:
        words += ["--timeout", str(params["timeout"])]
    if params["log"]:
        words += ["--log", params["log"]]
    if params["pace"]:
        words += ["--pace", params["pace"]]
    return words + ["--", params["host"]] + list(command)


def run_cli(module, command):
    """Runs tarnwick-cli with the router's password in TARNWICK_PASSWORD; (rc, out, err)."""
    words = cli_words(module, command)
    if "/" not in words[0] and module.get_bin_path(words[0]) is None:
        module.fail_json(msg="%s was not found on PATH (the cli option names the program)"
                         % words[0])
    return module.run_command(
        words, environ_update={"TARNWICK_PASSWORD": module.params["password"]},
        expand_user_and_vars=False)


def cli_message(err, fallback):
    """What tarnwick-cli said on standard error, one line for each of its messages."""
    lines = [line.strip() for line in (err or "").splitlines() if line.strip()]
    return "; ".join(lines) if lines else fallback


def parse_json(module, out, what, **result):
    """tarnwick-cli's JSON on standard output, or a failure that says it was none."""
    try:
        return json.loads(out)
    except ValueError:
        module.fail_json(msg="%s did not print JSON: %s" % (what, out[:200]), **result)

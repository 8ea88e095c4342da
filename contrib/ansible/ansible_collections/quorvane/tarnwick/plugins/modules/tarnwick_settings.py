#!/usr/bin/python
# -*- coding: utf-8 -*-
# A router brought to a settings file (tarnwick-cli apply), its settings backed up first
# (tarnwick-cli save) when asked.

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
module: tarnwick_settings
short_description: Brings a Tarnwick router to a settings file
description:
  - Brings the router to a settings file, or to settings given inline, with
    C(tarnwick-cli HOST apply FILE --json); each page the file holds is read afresh and, where
    it differs, worked through the Tarnwick program's own page, as a user would.
  - Reports C(changed) only when a write line went out to the router.
  - When a page was written, the router's configuration is then saved (C(config save)), as
    the program does on Close, so the change outlives the router's next restart.
  - In check mode runs the dry run (C(apply --dry-run)), which sends no write line and reports
    what would be sent; in diff mode returns each setting and list row that differs.
  - With I(backup_file), first saves the router's settings to that file
    (C(tarnwick-cli HOST save FILE)); alone, it only backs the router up.
  - A page that refuses a value, or asks a question not answered Yes, fails the task with the
    page's message; nothing after that page is sent.
version_added: 2.15.0
author: Quorvane
options:
  src:
    description:
      - A settings file (format C(tarnwick-settings), as C(tarnwick-cli save) writes it) on
        the control node. A page or value it leaves out is left as the router has it.
    type: path
  settings:
    description:
      - The settings inline, as the file holds them, one object per page (C(line), C(pvc),
        C(routes), C(dhcp), C(nat), C(snmp), C(dsl)) keyed by the page's member names; check
        boxes and radio groups are numbers, everything else text. C(format) and C(version)
        are added when left out.
      - The PPP password (C(line.Password)) is kept out of what the module returns; a file
        (I(src)) also keeps it out of the task's arguments.
    type: dict
  answer_yes:
    description:
      - Answers Yes to a question a page asks (C(--yes)); otherwise the question fails the task
        and nothing is sent for that page.
    type: bool
    default: false
  backup_file:
    description:
      - Saves the router's settings to this file on the control node before anything else
        (its folder is made when missing), also in check mode; the task fails, sending
        nothing, when the router could not be read. A backup is no change of the router.
    type: path
  backup_secrets:
    description:
      - Keeps the PPP password in the backup (false is C(save --no-secrets)). The file is
        readable by its owner only either way.
    type: bool
    default: true
extends_documentation_fragment:
  - quorvane.tarnwick.connection
attributes:
  check_mode:
    support: full
    description: Runs C(apply --dry-run), which sends no write line.
  diff_mode:
    support: full
    description: Each setting that differs, as the router and the file have it, and the list
      rows the file adds or removes.
"""

EXAMPLES = r"""
- name: Back up the router's settings
  quorvane.tarnwick.tarnwick_settings:
    host: "{{ tarnwick_host }}"
    password: "{{ tarnwick_password }}"
    backup_file: "backups/{{ inventory_hostname }}.json"

- name: Bring the router to a settings file
  quorvane.tarnwick.tarnwick_settings:
    host: "{{ tarnwick_host }}"
    password: "{{ tarnwick_password }}"
    src: "files/{{ inventory_hostname }}.json"

- name: One DHCP range
  quorvane.tarnwick.tarnwick_settings:
    host: "{{ tarnwick_host }}"
    password: "{{ tarnwick_password }}"
    settings:
      dhcp:
        DhcpEnabled: 1
        NetworkId: 192.168.1.0
        SubnetMask: 255.255.255.0
        RangeStart: 192.168.1.100
        RangeEnd: 192.168.1.199
"""

RETURN = r"""
pages:
  description: Each page worked, as C(tarnwick-cli apply --json) reports it, in order.
  returned: when a file or settings were given
  type: list
  elements: dict
  contains:
    page:
      description: The page's name (C(line), C(dhcp), ...).
      type: str
    caption:
      description: The page's caption.
      type: str
    status:
      description: C(unchanged), C(applied), C(refused) or C(asked).
      type: str
    lines:
      description: The lines sent (in check mode, that would have been), passwords masked.
      type: list
      elements: str
    message:
      description: The page's refusal or question.
      type: str
    values:
      description: Each value that differed, with its C(key), C(label), C(router) and C(file).
      type: list
      elements: dict
    added:
      description: The list rows the file adds.
      type: list
      elements: dict
    removed:
      description: The list rows the file removes.
      type: list
      elements: dict
commands:
  description: Every line sent (in check mode, that would have been), passwords masked.
  returned: when a file or settings were given
  type: list
  elements: str
  sample: ["dhcpserver config flush", "dhcpserver config add range 192.168.1.100 192.168.1.199;"]
moved_to:
  description: The router's address after a file moved its LAN side.
  returned: when the LAN address changed
  type: str
backup_path:
  description: The backup written.
  returned: when I(backup_file) was given
  type: str
"""

import json
import os

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.quorvane.tarnwick.plugins.module_utils.cli import (
    cli_argument_spec, cli_message, parse_json, run_cli)

FORMAT = "tarnwick-settings"
VERSION = 1


def quoted(text):
    return json.dumps(text, ensure_ascii=False)


def row_text(row):
    return ", ".join("%s %s" % (column, quoted(cell)) for column, cell in row.items())


def diff_of(report, before_header, after_header):
    """Ansible's diff: the router's side and the file's, one line for a value or a row."""
    before, after = [], []
    for page in report.get("pages", []):
        if not (page.get("values") or page.get("added") or page.get("removed")):
            continue
        heading = "%s (%s)\n" % (page.get("caption", ""), page.get("page", ""))
        before.append(heading)
        after.append(heading)
        for value in page.get("values", []):
            name = "  %s (%s): " % (value["label"], value["key"])
            before.append(name + quoted(value["router"]) + "\n")
            after.append(name + quoted(value["file"]) + "\n")
        for row in page.get("removed", []):
            before.append("  row: %s\n" % row_text(row))
        for row in page.get("added", []):
            after.append("  row: %s\n" % row_text(row))
    return dict(before="".join(before), after="".join(after),
                before_header=before_header, after_header=after_header)


def stop_message(report):
    """The message of the page that stopped the run."""
    for page in report.get("pages", []):
        name = "%s (%s)" % (page.get("caption", ""), page.get("page", ""))
        if page.get("status") == "refused":
            return "%s: %s" % (name, page.get("message", ""))
        if page.get("status") == "asked":
            return ('%s: the page asks "%s"; nothing was sent for it (answer_yes: true answers '
                    'Yes)' % (name, page.get("message", "")))
    return None


def inline_file(module, settings):
    """The inline settings as a file of the module's own, readable by its owner only."""
    content = dict(format=FORMAT, version=VERSION)
    content.update(settings)
    path = os.path.join(module.tmpdir, "settings.json")
    descriptor = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o600)
    with os.fdopen(descriptor, "w") as out:
        json.dump(content, out)
    return path


def main():
    spec = cli_argument_spec()
    spec.update(
        src=dict(type="path"),
        settings=dict(type="dict"),
        answer_yes=dict(type="bool", default=False),
        backup_file=dict(type="path"),
        backup_secrets=dict(type="bool", default=True),
    )
    module = AnsibleModule(argument_spec=spec, supports_check_mode=True,
                           mutually_exclusive=[["src", "settings"]],
                           required_one_of=[["src", "settings", "backup_file"]])
    params = module.params
    settings = params["settings"]
    if settings is not None:
        line = settings.get("line")
        if isinstance(line, dict) and isinstance(line.get("Password"), str) and line["Password"]:
            module.no_log_values.add(line["Password"])

    result = dict(changed=False)
    if params["backup_file"]:
        path = os.path.abspath(params["backup_file"])
        folder = os.path.dirname(path)
        if not os.path.isdir(folder):
            try:
                os.makedirs(folder)
            except OSError as error:
                module.fail_json(msg="cannot make the folder %s: %s" % (folder, error))
        words = ["save", path] + ([] if params["backup_secrets"] else ["--no-secrets"])
        rc, out, err = run_cli(module, words)
        if rc != 0:
            module.fail_json(msg=cli_message(err, "tarnwick-cli save failed with status %d" % rc),
                             rc=rc, stderr=err, **result)
        result["backup_path"] = path
    if params["src"] is None and settings is None:
        module.exit_json(**result)

    path = os.path.abspath(params["src"]) if params["src"] else inline_file(module, settings)
    words = ["apply", path, "--json"]
    if module.check_mode:
        words.append("--dry-run")
    if params["answer_yes"]:
        words.append("--yes")
    rc, out, err = run_cli(module, words)
    if rc != 0 and not out.strip():
        # The log-in failed, the file was refused or the command line was wrong: nothing sent.
        module.fail_json(msg=cli_message(err, "tarnwick-cli apply failed with status %d" % rc),
                         rc=rc, stderr=err, **result)
    report = parse_json(module, out, "tarnwick-cli apply", rc=rc, stderr=err, **result)
    pages = report.get("pages", [])
    result.update(changed=bool(report.get("changed")), pages=pages,
                  commands=[line for page in pages for line in page.get("lines", [])])
    if report.get("movedTo"):
        result["moved_to"] = report["movedTo"]
    if module._diff:
        router = params["host"] + (":%d" % params["port"] if params["port"] else "")
        result["diff"] = diff_of(report, "router " + router,
                                 params["src"] if params["src"] else "settings")
    if rc != 0:
        message = stop_message(report) or cli_message(
            err, "tarnwick-cli apply failed with status %d" % rc)
        module.fail_json(msg=message, rc=rc, stderr=err, **result)
    module.exit_json(**result)


if __name__ == "__main__":
    main()

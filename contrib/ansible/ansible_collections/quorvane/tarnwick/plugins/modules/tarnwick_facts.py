#!/usr/bin/python
# -*- coding: utf-8 -*-
# The router's pages as facts: what tarnwick-cli show reads, as its JSON.

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
module: tarnwick_facts
short_description: A Tarnwick router's pages as facts
description:
  - Reads the router's pages as the Tarnwick program would show them (C(tarnwick-cli HOST show
    all --json)) and returns them as the fact C(tarnwick), one object per page (C(line), C(pvc),
    C(routes), C(dhcp), C(nat), C(snmp), C(dsl)) keyed by the page's member names.
  - Only reads; the router is never changed. Passwords show as C(********).
version_added: 2.15.0
author: Quorvane
options:
  page:
    description:
      - One page to read instead of all of them (sooner), named as C(tarnwick-cli show) names
        it (C(line), C(pvc), C(routes), C(dhcp), C(nat), C(snmp), C(dsl)); the fact then holds
        that page alone.
    type: str
    default: all
extends_documentation_fragment:
  - quorvane.tarnwick.connection
attributes:
  check_mode:
    support: full
    description: Reads the router in check mode as well; it never changes it.
"""

EXAMPLES = r"""
- name: Read every page of the router
  quorvane.tarnwick.tarnwick_facts:
    host: "{{ tarnwick_host }}"
    port: "{{ tarnwick_port | default(omit) }}"
    password: "{{ tarnwick_password }}"

- name: Show each router's DHCP range
  ansible.builtin.debug:
    msg: "{{ tarnwick.dhcp.RangeStart }} - {{ tarnwick.dhcp.RangeEnd }}"
"""

RETURN = r"""
ansible_facts:
  description: The fact C(tarnwick).
  returned: success
  type: complex
  contains:
    tarnwick:
      description:
        - Each page read, under its name, as C(tarnwick-cli show PAGE --json) prints it;
          check boxes and radio groups as numbers, everything else as the page's text, a
          list as an array of rows keyed by its columns.
      returned: success
      type: dict
      sample:
        dhcp:
          DhcpEnabled: 1
          RangeStart: 192.168.1.100
          RangeEnd: 192.168.1.199
        snmp:
          CommunityList:
            - AccessRight: Read
              Community: public
              IpAddress: ""
"""

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.quorvane.tarnwick.plugins.module_utils.cli import (
    cli_argument_spec, cli_message, parse_json, run_cli)


def main():
    spec = cli_argument_spec()
    spec.update(page=dict(type="str", default="all"))
    module = AnsibleModule(argument_spec=spec, supports_check_mode=True)
    page = module.params["page"]
    rc, out, err = run_cli(module, ["show", page, "--json"])
    if rc != 0:
        module.fail_json(msg=cli_message(err, "tarnwick-cli show failed with status %d" % rc),
                         rc=rc, stderr=err)
    shown = parse_json(module, out, "tarnwick-cli show", rc=rc, stderr=err)
    module.exit_json(changed=False,
                     ansible_facts=dict(tarnwick=shown if page == "all" else {page: shown}))


if __name__ == "__main__":
    main()

# -*- coding: utf-8 -*-
# The options every module of the collection takes to reach a router through tarnwick-cli.

from __future__ import absolute_import, division, print_function

__metaclass__ = type


class ModuleDocFragment(object):
    DOCUMENTATION = r"""
options:
  host:
    description:
      - The router's address, as C(tarnwick-cli) takes it (its HOST).
      - The module runs on the control node, which reaches the router by telnet; give the
        hosts C(ansible_connection=local).
    type: str
    required: true
  port:
    description:
      - The router's telnet port (C(--port)); C(tarnwick-cli)'s default, 23, when left out.
    type: int
  password:
    description:
      - The router's log-in password, handed to C(tarnwick-cli) in C(TARNWICK_PASSWORD),
        never on a command line; keep it in a vaulted variable.
      - Taken from the environment variable C(TARNWICK_PASSWORD) when left out.
    type: str
    required: true
  timeout:
    description:
      - Milliseconds each reply of the router may take (C(--timeout)); C(tarnwick-cli)'s
        default, 5000, when left out.
    type: int
  log:
    description:
      - Appends every byte sent to and received from the router to this file (C(--log)),
        the passwords masked.
    type: path
  pace:
    description:
      - Passed as C(--pace) to C(tarnwick-cli) when given (C(fast) or C(program), which
        C(tarnwick-cli) checks); left out, C(tarnwick-cli) keeps its own default.
      - C(fast) skips the fixed pauses the program keeps in its dialogue with the router;
        C(program) keeps them. Needs a C(tarnwick-cli) that knows C(--pace).
    type: str
  cli:
    description:
      - The C(tarnwick-cli) program to run, on the control node.
    type: path
    default: tarnwick-cli
notes:
  - Runs on the control node and adds no router logic of its own; every reading and every
    write is C(tarnwick-cli)'s, through the pages of the Tarnwick program.
"""

#!/usr/bin/python3
"""A small JACK MIDI client that plays a control surface for the tests.

It owns the ports "<name>:out" (what the surface sends) and "<name>:in"
(feedback it receives). Commands, one per line on standard input:
  send B0 00 7F [...]     queue one or more messages (hex bytes) for the next cycle
  connect SRC DST         connect two ports
  quit
Each received message is printed as "recv B0 00 7F"; "ready" once active,
"ok" after each command.
"""
import queue
import sys

import jack

name = sys.argv[1] if len(sys.argv) > 1 else "vt-peer"
client = jack.Client(name, no_start_server=True)
out_port = client.midi_outports.register("out")
in_port = client.midi_inports.register("in")
pending = queue.Queue()


@client.set_process_callback
def process(frames):
    out_port.clear_buffer()
    offset = 0
    while not pending.empty():
        data = pending.get_nowait()
        out_port.write_midi_event(min(offset, frames - 1), data)
        offset += 1
    for _, data in in_port.incoming_midi_events():
        sys.stdout.write("recv " + " ".join("%02X" % b for b in bytes(data)) + "\n")
        sys.stdout.flush()


with client:
    print("ready", flush=True)
    for line in sys.stdin:
        words = line.split()
        if not words:
            continue
        if words[0] == "quit":
            break
        if words[0] == "send":
            data = bytes(int(w, 16) for w in words[1:])
            i = 0
            while i < len(data):
                size = 2 if (data[i] & 0xF0) in (0xC0, 0xD0) else 3
                pending.put(data[i:i + size])
                i += size
        elif words[0] == "connect":
            client.connect(words[1], words[2])
        print("ok", flush=True)

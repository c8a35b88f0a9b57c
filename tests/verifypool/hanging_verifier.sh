#!/bin/sh
# A stand-in verifier that never answers. It leaves a child of its own
# behind, as a wrapper script might; with KVR_STANDIN_PID_FILE set it writes
# that child's pid there, so a test can see the child die with it.
sleep 1000 &
if [ -n "${KVR_STANDIN_PID_FILE:-}" ]; then echo $! >"$KVR_STANDIN_PID_FILE"; fi
exec sleep 1000

#!/bin/sh
# A stand-in verifier that holds its job until the file KVR_VERIFIER_GATE
# exists, then hands its arguments to the real verifier (KVR_REAL_VERIFIER):
# a test fills the pool and the queue and lets them go when it has seen them full.
while [ ! -e "${KVR_VERIFIER_GATE:?}" ]; do sleep 0.05; done
exec "${KVR_REAL_VERIFIER:?}" "$@"

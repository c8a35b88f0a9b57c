#!/bin/sh
# A stand-in verifier that takes KVR_SLOW_VERIFIER_SECONDS (default 1) before
# it hands its arguments to the real verifier named by KVR_REAL_VERIFIER: a
# busy pool, with results that are the real ones.
sleep "${KVR_SLOW_VERIFIER_SECONDS:-1}"
exec "${KVR_REAL_VERIFIER:?KVR_REAL_VERIFIER names the real verifier}" "$@"

#!/bin/sh
# A stand-in verifier that burns CPU time without end: only the CPU limit
# stops it before the wall clock does.
while :; do :; done

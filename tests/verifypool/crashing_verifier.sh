#!/bin/sh
# A stand-in verifier that dies of a segmentation fault before printing
# anything, as a verifier with a memory fault would.
kill -SEGV $$

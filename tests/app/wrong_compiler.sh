#!/bin/sh
# Stands in for `kivra` in the help check's own test: runs the real tool ($KIVRA_REAL) and
# turns the first byte of every listing into EE, so that every documented byte example and
# listing disagrees with it. The help check must say so.
"$KIVRA_REAL" "$@" | sed -E 's/^000 :[0-9A-F]{2}/000 :EE/'

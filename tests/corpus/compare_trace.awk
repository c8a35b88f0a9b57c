# Compares the checkpoints of a replay's trace (the first file: trace lines
# kept from an earlier play) with a whole trace (the second file). The trace
# has one line per update and frame n is its line n, so a checkpoint whose
# frame field is n is compared with line n.
#   awk -f compare_trace.awk CHECKPOINTS TRACE              prints where they part
#   awk -v brief=1 -f compare_trace.awk CHECKPOINTS TRACE   prints only that frame
# Prints nothing when every checkpoint matches and the trace ends with the last one.

BEGIN {
    split("frame phase score scrollPos y vy energy life barrierFrames invincibleFrames sparkleFrames " \
          "walls items enemies effects shakeFrames slowMotionFrames randIndex", names, " ")
    fieldCount = 18
}

FNR == NR {
    count += 1
    frameAt[count] = $1
    expected[count] = $0
    next
}

# The second file, the trace.
{
    traceLines = FNR
    if (next_ == 0) next_ = 1
    if (found || next_ > count || FNR != frameAt[next_]) next
    if ($0 == expected[next_]) {
        lastMatch = frameAt[next_]
        next_ += 1
        next
    }
    found = 1
    actual = $0
}

function report(frame, why) {
    if (brief) {
        print frame
        exit
    }
    printf "  first differing checkpoint: frame %s (last matching: %s)\n", frame, lastMatch == "" ? "none" : "frame " lastMatch
    if (why != "") printf "  %s\n", why
}

END {
    if (next_ == 0) next_ = 1
    if (found) {
        report(frameAt[next_], "")
        if (brief) exit
        split(expected[next_], want, " ")
        split(actual, got, " ")
        printf "    %-18s %12s %12s\n", "field", "expected", "actual"
        for (i = 1; i <= fieldCount; i++) {
            printf "    %-18s %12s %12s%s\n", names[i], want[i], got[i], want[i] == got[i] ? "" : "   <-- differs"
        }
    } else if (next_ <= count) {
        report(frameAt[next_], "the run ends at frame " traceLines + 0 " with no line for this checkpoint")
    } else if (traceLines > frameAt[count]) {
        report(frameAt[count] + 1, "every checkpoint matches, but the run goes on past frame " frameAt[count] " to frame " traceLines)
    }
}

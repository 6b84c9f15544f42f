// The precompiled header sets are built for this file, and reused by every target of their kind.

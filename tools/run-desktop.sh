#!/bin/sh
# Starts the Linux desktop program. Until it exists, the builds are all there is.
echo "Both builds are made (build/linux, build/windows); the desktop program is not part of them yet."

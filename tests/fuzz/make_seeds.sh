#!/usr/bin/env bash
# Writes a seed corpus of real JPEG variants for the picture-loader fuzzer into
# $1, and when $2 is given, Exif data (a TIFF header and its first directory)
# for the fuzzer of the check's parsing into $2.
set -euo pipefail
out=$1
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A small colour picture with some structure, as a binary PPM.
{
    printf 'P6\n24 16\n255\n'
    for y in $(seq 0 15); do
        for x in $(seq 0 23); do
            printf "\\$(printf %03o $((x * 10 % 256)))\\$(printf %03o $((y * 15 % 256)))\\$(printf %03o $(((x + y) * 5 % 256)))"
        done
    done
} > "$work/picture.ppm"

cjpeg -quality 80 "$work/picture.ppm" > "$out/baseline.jpg"
cjpeg -progressive "$work/picture.ppm" > "$out/progressive.jpg"
cjpeg -arithmetic "$work/picture.ppm" > "$out/arithmetic.jpg"
cjpeg -restart 1 "$work/picture.ppm" > "$out/restart.jpg"
cjpeg -sample 2x2 "$work/picture.ppm" > "$out/subsampled.jpg"
cjpeg -sample 1x1 "$work/picture.ppm" > "$out/full-chroma.jpg"
cjpeg -grayscale "$work/picture.ppm" > "$out/greyscale.jpg"
cjpeg -optimize -quality 20 "$work/picture.ppm" > "$out/optimized.jpg"
head -c 200 "$out/baseline.jpg" > "$out/truncated.jpg"

if [ -n "${2:-}" ]; then
    mkdir -p "$2"
    # An orientation of 6, big-endian and little-endian; and one entry more.
    printf 'MM\0\x2a\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0' > "$2/orientation-mm.tiff"
    printf 'II\x2a\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0\x06\0\0\0\0\0\0\0' > "$2/orientation-ii.tiff"
    printf 'II\x2a\0\x08\0\0\0\x02\0\x0f\x01\x02\0\x04\0\0\0abc\0\x12\x01\x03\0\x01\0\0\0\x03\0\0\0\0\0\0\0' \
        > "$2/two-entries.tiff"
fi

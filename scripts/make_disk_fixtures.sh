#!/bin/bash
# Builds the disk images that the drive-array tests present through UNDELETE_DISKS:
#   mbr_fat_ntfs.img  MBR: partition 1 FAT16 "MBRFAT", partition 2 NTFS "MBRNTFS"
#   bare_fat.img      a FAT12 volume formatted whole, label "BAREFAT"
#   gpt_fat.img       GPT with one FAT16 partition "GPTFAT"
# Needs dosfstools, ntfs-3g (mkntfs) and fdisk (sfdisk); writes tests/data/disks/*.img.gz.
set -euo pipefail

out="$(cd "$(dirname "$0")/.." && pwd)/tests/data/disks"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

# Fixed serials and times keep the images identical from run to run.
export SOURCE_DATE_EPOCH=1600000000

fat_volume() {  # file, size in KiB, label, fat bits
    truncate -s "$2K" "$1"
    mkfs.fat -F "$4" -s 1 -n "$3" -i 12345678 --invariant "$1" >/dev/null
}

place() {  # volume file, image, offset in sectors
    dd if="$1" of="$2" bs=512 seek="$3" conv=notrunc status=none
}

# MBR: FAT16 at 1 MiB (4 MiB), NTFS at 5 MiB (6 MiB), 12 MiB in all.
truncate -s 12M "$work/mbr_fat_ntfs.img"
printf 'label: dos\nlabel-id: 0x1234abcd\nstart=2048, size=8192, type=6\nstart=10240, size=12288, type=7\n' |
    sfdisk --quiet "$work/mbr_fat_ntfs.img"
fat_volume "$work/p1.fat" 4096 MBRFAT 16
place "$work/p1.fat" "$work/mbr_fat_ntfs.img" 2048
truncate -s 6M "$work/p2.ntfs"
mkntfs --quiet --force --fast --no-indexing --label MBRNTFS --sector-size 512 \
    --partition-start 10240 --heads 255 --sectors-per-track 63 "$work/p2.ntfs" >/dev/null
place "$work/p2.ntfs" "$work/mbr_fat_ntfs.img" 10240

fat_volume "$work/bare_fat.img" 2048 BAREFAT 12

# GPT: FAT16 partition from sector 2048, 4 MiB; 8 MiB in all (backup table at the end).
truncate -s 8M "$work/gpt_fat.img"
printf 'label: gpt\nlabel-id: 01234567-89AB-CDEF-0123-456789ABCDEF\nstart=2048, size=8192, type=EBD0A0A2-B9E5-4433-87C0-68B6B72699C7, uuid=11111111-2222-3333-4444-555555555555\n' |
    sfdisk --quiet "$work/gpt_fat.img"
fat_volume "$work/p.fat" 4096 GPTFAT 16
place "$work/p.fat" "$work/gpt_fat.img" 2048

for image in mbr_fat_ntfs bare_fat gpt_fat; do
    gzip -9 -n -c "$work/$image.img" >"$out/$image.img.gz"
done
echo "Wrote $out"

#!/bin/bash
# Builds the disk images whose partition table is gone, for the lost-partition search:
#   lost_primary.img  12 MiB; FAT16 "LOSTFAT" at sector 2048 (8192 sectors) and NTFS
#                     "LOSTNTFS" at 10240 (12288 sectors), both primary
#   lost_logical.img  16 MiB; FAT16 "LOSTFAT" at 2048 (8192 sectors), an extended
#                     partition from 10240 to the disk's end holding NTFS "LOSTNTFS" as a
#                     logical partition at 12288 (20480 sectors, ending at the disk's end)
# Each partition holds a few files; then sector 0 (the MBR) is zeroed, while the extended
# boot record of the logical image stays. Never mounts anything.
# Needs dosfstools, mtools, ntfs-3g (mkntfs, ntfscp) and fdisk (sfdisk);
# writes tests/data/disks/lost_*.img.gz.
set -euo pipefail

out="$(cd "$(dirname "$0")/.." && pwd)/tests/data/disks"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

export SOURCE_DATE_EPOCH=1600000000 MTOOLS_SKIP_CHECK=1 TZ=UTC

printf 'found again\n' >"$work/hello.txt"
seq 1 3000 >"$work/numbers.txt"
printf 'inside a folder\n' >"$work/inner.txt"
touch -d '2020-09-13 12:26:40' "$work"/*.txt

fat_volume() {  # file, sectors
    truncate -s "$(($2 * 512))" "$1"
    mkfs.fat -F 16 -s 1 -n LOSTFAT -i 1f2e3d4c --invariant "$1" >/dev/null
    mcopy -m -i "$1" "$work/hello.txt" "$work/numbers.txt" ::/
    mmd -i "$1" ::/FOLDER
    mcopy -m -i "$1" "$work/inner.txt" ::/FOLDER/
}

ntfs_volume() {  # file, sectors, start sector
    truncate -s "$(($2 * 512))" "$1"
    mkntfs --quiet --force --fast --no-indexing --label LOSTNTFS --sector-size 512 \
        --partition-start "$3" --heads 255 --sectors-per-track 63 "$1" >/dev/null
    ntfscp --quiet "$1" "$work/hello.txt" /hello.txt
    ntfscp --quiet "$1" "$work/numbers.txt" /numbers.txt
}

place() {  # volume file, image, offset in sectors
    dd if="$1" of="$2" bs=512 seek="$3" conv=notrunc status=none
}

wipe_mbr() {  # image
    dd if=/dev/zero of="$1" bs=512 count=1 conv=notrunc status=none
}

image="$work/lost_primary.img"
truncate -s 12M "$image"
printf 'label: dos\nlabel-id: 0x5eed0001\nstart=2048, size=8192, type=6\nstart=10240, size=12288, type=7\n' |
    sfdisk --quiet "$image"
fat_volume "$work/p1.fat" 8192
place "$work/p1.fat" "$image" 2048
ntfs_volume "$work/p2.ntfs" 12288 10240
place "$work/p2.ntfs" "$image" 10240
wipe_mbr "$image"

image="$work/lost_logical.img"
truncate -s 16M "$image"
printf 'label: dos\nlabel-id: 0x5eed0002\nstart=2048, size=8192, type=6\nstart=10240, size=22528, type=5\nstart=12288, size=20480, type=7\n' |
    sfdisk --quiet "$image"
place "$work/p1.fat" "$image" 2048
ntfs_volume "$work/p5.ntfs" 20480 12288
place "$work/p5.ntfs" "$image" 12288
wipe_mbr "$image"

for name in lost_primary lost_logical; do
    gzip -9 -n -c "$work/$name.img" >"$out/$name.img.gz"
done
echo "Wrote $out"

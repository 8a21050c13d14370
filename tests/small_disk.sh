# A file system of the test's own, 64 KiB, on $disk, taken down when the test ends; where nothing
# can be mounted the test is skipped.
mount_small_disk() {
    disk=$(mktemp -d)
    if ! mount -t tmpfs -o size=64k tmpfs "$disk" 2>/dev/null; then
        echo "skipped: this machine mounts no file system for the test"
        rmdir "$disk"
        exit 0
    fi
    trap 'umount "$disk"; rmdir "$disk"' EXIT
}

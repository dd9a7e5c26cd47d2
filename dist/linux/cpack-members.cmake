# Run by CPack once it has made the package, before it puts it in the
# package folder: the package is packed again by dpkg-deb, Debian's own
# packer, with an Installed-Size counted as dpkg-gencontrol counts it (each
# file's size in KiB, rounded up, and 1 for each folder). CPack adds up the
# sizes that the file system gives its folders, which differ from one file
# system to another (4096 bytes on ext4, a few dozen on tmpfs), so the same
# program would make different packages. dpkg-deb also writes the archive's
# members -rw-r--r-- and its files as root's, whatever the packager's umask.
find_program(DPKG_DEB dpkg-deb REQUIRED)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    set(tree ${package}.tree)
    file(REMOVE_RECURSE ${tree})
    # umask 022: the tree is packed with the modes it is unpacked with.
    set(umask_022 sh -c [[umask 022 && exec "$@"]] sh)
    execute_process(COMMAND ${umask_022} ${DPKG_DEB} --raw-extract ${package} ${tree}
        COMMAND_ERROR_IS_FATAL ANY)

    file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE ${tree} ${tree}/*)
    list(FILTER entries EXCLUDE REGEX "^DEBIAN(/|$)")
    set(kib 1) # the top folder
    foreach(entry IN LISTS entries)
        if(IS_DIRECTORY ${tree}/${entry} AND NOT IS_SYMLINK ${tree}/${entry})
            math(EXPR kib "${kib} + 1")
        else()
            file(SIZE ${tree}/${entry} bytes)
            math(EXPR kib "${kib} + (${bytes} + 1023) / 1024")
        endif()
    endforeach()

    execute_process(
        COMMAND ${umask_022} sed -i "s/^Installed-Size: .*/Installed-Size: ${kib}/" ${tree}/DEBIAN/control
        COMMAND_ERROR_IS_FATAL ANY)
    # gzip rather than dpkg-deb's xz: zlib's output does not depend on how
    # many threads the packing machine gives it.
    execute_process(
        COMMAND ${umask_022} ${DPKG_DEB} --root-owner-group -Zgzip -z9 --build ${tree} ${package}
        OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE ${tree})
endforeach()

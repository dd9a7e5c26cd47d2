# Run by CPack once the files are in place, before it packs them: the
# package's folders are rwxr-xr-x, as Debian has them, whatever the
# packager's umask (077 would make /usr unreadable to all but root on every
# machine that installs the package).
file(GLOB_RECURSE folders LIST_DIRECTORIES true ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*)
list(FILTER folders EXCLUDE REGEX "^$")
foreach(folder IN LISTS folders)
    if(IS_DIRECTORY ${folder} AND NOT IS_SYMLINK ${folder})
        file(CHMOD ${folder} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
            GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    endif()
endforeach()

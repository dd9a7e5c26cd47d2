# Run by CPack once it has made the packages, before it puts them in the
# package folder: SHA256SUMS there, in the form that `sha256sum -c` reads.
set(sums "")
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    get_filename_component(name ${package} NAME)
    file(SHA256 ${package} sum)
    string(APPEND sums "${sum}  ${name}\n")
endforeach()
file(WRITE ${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS "${sums}")

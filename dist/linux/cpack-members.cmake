# Run by CPack once it has made the package, before it puts it in the
# package folder: the archive's three members are -rw-r--r--, as dpkg-deb
# writes them, and not whatever the packager's umask gave CPack's files.
# An ar member's header is 60 bytes, its mode 8 of them from the 40th.
find_program(PERL perl REQUIRED)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    execute_process(COMMAND ${PERL} -e [[
        open(my $archive, '+<:raw', $ARGV[0]) or die "$ARGV[0]: $!\n";
        my $bytes = do { local $/; <$archive> };
        for (my $at = 8; $at + 60 <= length $bytes;) {
            substr($bytes, $at + 40, 8) = sprintf('%-8s', '100644');
            my $size = substr($bytes, $at + 48, 10) + 0;
            $at += 60 + $size + $size % 2;
        }
        seek($archive, 0, 0);
        print $archive $bytes;
        close($archive) or die "$ARGV[0]: $!\n";
    ]] ${package} COMMAND_ERROR_IS_FATAL ANY)
endforeach()

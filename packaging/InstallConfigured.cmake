# Run by `cmake --install` and cpack for each file that names installed paths (manual pages,
# the systemd unit): configures `template` for the prefix being installed into, gzips it when
# `gzip` is set, and installs it into `destination` under that prefix. Being done at install
# time, the paths are those of the install itself: /usr in the package, whatever --prefix says
# otherwise. Set by the caller: template, destination, gzip, work, version, bindir, libexecdir,
# datadir, udev_rules_dir, systemd_user_dir (the last five relative to the prefix), shared.
set(VERSION ${version})
set(BINDIR "${CMAKE_INSTALL_PREFIX}/${bindir}")
set(KESTREL_DIR "${CMAKE_INSTALL_PREFIX}/${libexecdir}/kestrel")
set(CELLSVC_DATA_DIR "${CMAKE_INSTALL_PREFIX}/${datadir}/cellsvc")
set(UDEV_RULES_DIR "${CMAKE_INSTALL_PREFIX}/${udev_rules_dir}")
set(SYSTEMD_USER_DIR "${CMAKE_INSTALL_PREFIX}/${systemd_user_dir}")
file(READ "${shared}/exit-status.roff" EXIT_STATUS)
string(STRIP "${EXIT_STATUS}" EXIT_STATUS)

get_filename_component(name "${template}" NAME)
string(REGEX REPLACE "\\.in$" "" name "${name}")
configure_file("${template}" "${work}/${name}" @ONLY)
if(gzip)
    execute_process(COMMAND gzip -9 -n -f "${work}/${name}" COMMAND_ERROR_IS_FATAL ANY)
    string(APPEND name .gz)
endif()
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${destination}" TYPE FILE
     FILES "${work}/${name}")

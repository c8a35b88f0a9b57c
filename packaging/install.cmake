# What `cmake --install <build> --prefix P` puts where, and the Debian
# package CPack makes of the same files (`cpack -G DEB` in the build
# directory, or scripts/package.sh). The programs go to <prefix>/games, where
# Debian keeps games; the game finds its resources at
# <prefix>/share/kvr2013/resource from <prefix>/games/kvr2013 (one level up,
# as from bin/), so the two destinations below move together.

# The day the version in project() was released, for the AppStream metadata
# and the manual page.
set(KVR_RELEASE_DATE 2026-12-09)

# A home-directory install may want bin/ instead, which is on a login's PATH
# where ~/.local/games is not: -DKVR_PROGRAM_DIR=bin.
set(KVR_PROGRAM_DIR games CACHE STRING "Where the programs install under the prefix (games or bin)")

# Debian wants manual pages and changelogs compressed, with no file name or
# time inside (gzip -9n) so the same sources always make the same package.
function(kvr_install_gzipped file destination)
  execute_process(COMMAND gzip -9n -c ${file} OUTPUT_FILE ${file}.gz RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip could not compress ${file}")
  endif()
  install(FILES ${file}.gz DESTINATION ${destination})
endfunction()

install(TARGETS kvr2013-verify RUNTIME DESTINATION ${KVR_PROGRAM_DIR})
configure_file(${PROJECT_SOURCE_DIR}/packaging/kvr2013-verify.6.in ${PROJECT_BINARY_DIR}/packaging/kvr2013-verify.6 @ONLY)
kvr_install_gzipped(${PROJECT_BINARY_DIR}/packaging/kvr2013-verify.6 share/man/man6)

# The licence in Debian's machine-readable form, and the package's history.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION share/doc/kvr2013)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog @ONLY)
kvr_install_gzipped(${PROJECT_BINARY_DIR}/packaging/changelog share/doc/kvr2013)

if(KVR_BUILD_GAME)
  install(TARGETS kvr2013 RUNTIME DESTINATION ${KVR_PROGRAM_DIR})
  # The icons go to the desktop's icon theme instead; the game does not read them.
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/resource/ DESTINATION share/kvr2013/resource
          PATTERN icons EXCLUDE)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/kvr2013.desktop DESTINATION share/applications)
  foreach(size 32 48 64 128)
    install(FILES ${PROJECT_SOURCE_DIR}/resource/icons/${size}/kvr2013.png
            DESTINATION share/icons/hicolor/${size}x${size}/apps)
  endforeach()

  configure_file(${PROJECT_SOURCE_DIR}/packaging/kvr2013.metainfo.xml.in
                 ${PROJECT_BINARY_DIR}/packaging/kvr2013.metainfo.xml @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/kvr2013.metainfo.xml DESTINATION share/metainfo)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/kvr2013.6.in ${PROJECT_BINARY_DIR}/packaging/kvr2013.6 @ONLY)
  kvr_install_gzipped(${PROJECT_BINARY_DIR}/packaging/kvr2013.6 share/man/man6)
endif()

if(KVR_BUILD_SERVER)
  install(TARGETS kvr2013-scores RUNTIME DESTINATION bin)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/kvr2013-scores.1.in ${PROJECT_BINARY_DIR}/packaging/kvr2013-scores.1 @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/kvr2013-scores.1 DESTINATION share/man/man1)
  # The unit names the installed program, so it is made for this prefix.
  configure_file(${PROJECT_SOURCE_DIR}/packaging/kvr2013-scores.service.in
                 ${PROJECT_BINARY_DIR}/packaging/kvr2013-scores.service @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/kvr2013-scores.service DESTINATION lib/systemd/system)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/kvr2013-scores.nginx ${PROJECT_SOURCE_DIR}/docs/score-server.md
          DESTINATION share/doc/kvr2013-scores)
endif()

# The Debian package: kvr2013_<version>_amd64.deb, its Depends worked out
# from the binaries by dpkg-shlibdeps (Debian's dpkg-dev).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kvr2013)
set(CPACK_PACKAGE_VENDOR "Delta Hidden Yard")
set(CPACK_PACKAGE_CONTACT "KVR 2013 maintainers <maintainers@users.noreply.c-seed-099178dc.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "side-scrolling flight game through walls of blocks")
# One string, no semicolons: CMake would take them for list separators.
set(CPACK_PACKAGE_DESCRIPTION "\
Your small square craft holds its place at the left of the screen while
columns of wall blocks, energy items and enemies scroll in from the right.
Hold UP to thrust against the pull downward and thread the openings, and
raise the barrier to destroy enemies at a cost in energy. Four stages of
1000 m, 2000 m, 3000 m and an endless one, each with the same course on
every run. A run that beats a stage's best score is kept as its replay,
which the title screen plays back. kvr2013-verify checks a replay's score
without a window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)

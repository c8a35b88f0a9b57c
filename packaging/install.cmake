# What `cmake --install <build> --prefix P` puts where, and the Debian
# packages CPack makes of the same files (`cpack -G DEB` in the build
# directory, or scripts/package.sh): kvr2013, the game and its verifier, and
# kvr2013-scores, the world score server, which is no game and so lives in
# bin/ and in section net. The game's programs go to <prefix>/games, where
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
function(kvr_install_gzipped file destination component)
  execute_process(COMMAND gzip -9n -c ${file} OUTPUT_FILE ${file}.gz RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip could not compress ${file}")
  endif()
  install(FILES ${file}.gz DESTINATION ${destination} COMPONENT ${component})
endfunction()

# Every package carries the licence in Debian's machine-readable form and
# its own history.
function(kvr_install_package_documents package)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION share/doc/${package} COMPONENT ${package})
  set(KVR_CHANGELOG_PACKAGE ${package})
  configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${PROJECT_BINARY_DIR}/packaging/${package}/changelog @ONLY)
  kvr_install_gzipped(${PROJECT_BINARY_DIR}/packaging/${package}/changelog share/doc/${package} ${package})
endfunction()

install(TARGETS kvr2013-verify RUNTIME DESTINATION ${KVR_PROGRAM_DIR} COMPONENT kvr2013)
configure_file(${PROJECT_SOURCE_DIR}/packaging/kvr2013-verify.6.in ${PROJECT_BINARY_DIR}/packaging/kvr2013-verify.6 @ONLY)
kvr_install_gzipped(${PROJECT_BINARY_DIR}/packaging/kvr2013-verify.6 share/man/man6 kvr2013)
set(KVR_CHANGELOG_ENTRY "First release: four stages, replays of each stage's best run, the
    replay theatre, racing the ghost of a replay, and kvr2013-verify.")
kvr_install_package_documents(kvr2013)

if(KVR_BUILD_GAME)
  install(TARGETS kvr2013 RUNTIME DESTINATION ${KVR_PROGRAM_DIR} COMPONENT kvr2013)
  # The icons go to the desktop's icon theme instead; the game does not read them.
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/resource/ DESTINATION share/kvr2013/resource
          COMPONENT kvr2013 PATTERN icons EXCLUDE)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/kvr2013.desktop DESTINATION share/applications COMPONENT kvr2013)
  foreach(size 32 48 64 128)
    install(FILES ${PROJECT_SOURCE_DIR}/resource/icons/${size}/kvr2013.png
            DESTINATION share/icons/hicolor/${size}x${size}/apps COMPONENT kvr2013)
  endforeach()

  configure_file(${PROJECT_SOURCE_DIR}/packaging/kvr2013.metainfo.xml.in
                 ${PROJECT_BINARY_DIR}/packaging/kvr2013.metainfo.xml @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/kvr2013.metainfo.xml DESTINATION share/metainfo COMPONENT kvr2013)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/kvr2013.6.in ${PROJECT_BINARY_DIR}/packaging/kvr2013.6 @ONLY)
  kvr_install_gzipped(${PROJECT_BINARY_DIR}/packaging/kvr2013.6 share/man/man6 kvr2013)
endif()

if(KVR_BUILD_SERVER)
  install(TARGETS kvr2013-scores RUNTIME DESTINATION bin COMPONENT kvr2013-scores)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/kvr2013-scores.1.in ${PROJECT_BINARY_DIR}/packaging/kvr2013-scores.1 @ONLY)
  kvr_install_gzipped(${PROJECT_BINARY_DIR}/packaging/kvr2013-scores.1 share/man/man1 kvr2013-scores)
  # The unit names the installed programs, so it is made when installing,
  # for the prefix of that install (CPack's /usr, or --prefix), not the one
  # the build was configured with.
  install(CODE "set(KVR_PROGRAM_DIR ${KVR_PROGRAM_DIR})
    configure_file(${PROJECT_SOURCE_DIR}/packaging/kvr2013-scores.service.in
                   ${PROJECT_BINARY_DIR}/packaging/kvr2013-scores.service @ONLY)"
    COMPONENT kvr2013-scores)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/kvr2013-scores.service DESTINATION lib/systemd/system
          COMPONENT kvr2013-scores)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/kvr2013-scores.nginx ${PROJECT_SOURCE_DIR}/docs/score-server.md
          DESTINATION share/doc/kvr2013-scores COMPONENT kvr2013-scores)
  set(KVR_CHANGELOG_ENTRY "First release: the world score server, which replays every entry with
    kvr2013-verify before it is ranked.")
  kvr_install_package_documents(kvr2013-scores)
endif()

# The Debian packages: kvr2013_<version>_amd64.deb and, with the server,
# kvr2013-scores_<version>_amd64.deb, their Depends worked out from the
# binaries by dpkg-shlibdeps (Debian's dpkg-dev). The server plays every
# entry with the game package's kvr2013-verify, so it depends on that.
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL kvr2013)
if(KVR_BUILD_SERVER)
  list(APPEND CPACK_COMPONENTS_ALL kvr2013-scores)
endif()
set(CPACK_PACKAGE_NAME kvr2013)
set(CPACK_PACKAGE_VENDOR "Delta Hidden Yard")
set(CPACK_PACKAGE_CONTACT "KVR 2013 maintainers <maintainers@users.noreply.c-seed-099178dc.example>")
# Each package's description is its synopsis line and the text under it.
# CPack would put one CPACK_PACKAGE_DESCRIPTION_SUMMARY over both packages'
# texts, so that is left unset. One string each, no semicolons: CMake would
# take them for list separators.
set(CPACK_COMPONENT_KVR2013_DESCRIPTION "side-scrolling flight game through walls of blocks\n\
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
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

set(CPACK_DEBIAN_KVR2013_PACKAGE_NAME kvr2013)
set(CPACK_DEBIAN_KVR2013_PACKAGE_SECTION games)

set(CPACK_DEBIAN_KVR2013-SCORES_PACKAGE_NAME kvr2013-scores)
set(CPACK_DEBIAN_KVR2013-SCORES_PACKAGE_SECTION net)
set(CPACK_DEBIAN_KVR2013-SCORES_PACKAGE_DEPENDS "kvr2013 (= ${PROJECT_VERSION})")
set(CPACK_COMPONENT_KVR2013-SCORES_DESCRIPTION "world score server of the flight game KVR 2013\n\
Keeps the world tables of the game's four stages. Every entry is a replay
that the server plays again with kvr2013-verify, in a child process with
limits, before it is ranked, so a table holds only scores that the game
itself would give. Players sign their requests with their own keys.
Serves a JSON API and a small web page, over SQLite or PostgreSQL, behind
nginx.")
include(CPack)

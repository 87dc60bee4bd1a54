# The program installed as cmake --install lays it out, into a prefix of the build's
# own, afresh for each run; the tests below start on it.
set(PELMAR_TEST_PREFIX ${CMAKE_CURRENT_BINARY_DIR}/installed)
add_test(NAME install_tree
         COMMAND sh -c "rm -rf \"$1\" && \"$2\" --install \"$3\" --prefix \"$1\"" install
                 ${PELMAR_TEST_PREFIX} ${CMAKE_COMMAND} ${CMAKE_BINARY_DIR})
set_tests_properties(install_tree PROPERTIES FIXTURES_SETUP installed)

pelmar_test(test_install test_install.cpp)
target_link_libraries(test_install PRIVATE pelmar_entrysession)
target_compile_definitions(test_install PRIVATE PELMAR_TEST_PREFIX="${PELMAR_TEST_PREFIX}"
                                                PELMAR_VERSION="${PROJECT_VERSION}")
set_tests_properties(test_install PROPERTIES FIXTURES_REQUIRED installed)

# The desktop's own validators, on the files where they are installed; any word
# from them, a hint or a warning included, fails.
add_test(NAME desktop_entry_valid
         COMMAND desktop-file-validate
                 ${PELMAR_TEST_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/${PELMAR_APP_ID}.desktop)
add_test(NAME metainfo_valid
         COMMAND appstreamcli validate --no-net --no-color
                 ${PELMAR_TEST_PREFIX}/${CMAKE_INSTALL_DATADIR}/metainfo/${PELMAR_APP_ID}.metainfo.xml)
set_tests_properties(desktop_entry_valid PROPERTIES FIXTURES_REQUIRED installed
                     FAIL_REGULAR_EXPRESSION ".")
set_tests_properties(metainfo_valid PROPERTIES FIXTURES_REQUIRED installed
                     FAIL_REGULAR_EXPRESSION "(^|\n)[EWI]: ")

# The Debian package built from this build and checked; it needs the whole build. No
# package is made from an unoptimised build (a Debug one): there the test first builds
# a tree of its own as scripts/setup.sh configures build/, the program alone, kept so
# that the next run rebuilds only what changed.
set(package_tree ${CMAKE_BINARY_DIR})
if(NOT PELMAR_PACKAGE_OPTIMISED)
    set(package_tree ${CMAKE_BINARY_DIR}/package-tree)
    add_test(NAME package_tree
             COMMAND sh -c "\"$1\" -S \"$2\" -B \"$3\" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
                                -DBUILD_TESTING=OFF >/dev/null && \"$1\" --build \"$3\" -j\"$(nproc)\""
                     package_tree ${CMAKE_COMMAND} ${CMAKE_SOURCE_DIR} ${package_tree})
    set_tests_properties(package_tree PROPERTIES FIXTURES_SETUP package_tree TIMEOUT 1800)
endif()
add_test(NAME package
         COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/package.sh ${package_tree} ${PROJECT_VERSION}
                 ${PELMAR_APP_ID})
set_tests_properties(package PROPERTIES TIMEOUT 600 FIXTURES_REQUIRED package_tree)

# The manual pages name every option and file the programs use.
add_test(NAME manual_pages
         COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/manpages.sh ${PELMAR_TEST_PREFIX} ${CMAKE_SOURCE_DIR})
set_tests_properties(manual_pages PROPERTIES FIXTURES_REQUIRED installed)

# Read by cpack in a build that is not optimised (packaging/CMakeLists.txt): no
# package is made from it.
message(FATAL_ERROR "This build is ${CPACK_PELMAR_BUILD}, not optimised: a package is "
        "made from an optimised build only, such as scripts/setup.sh configures "
        "(cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo).")

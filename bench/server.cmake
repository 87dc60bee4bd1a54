# Several desks inserting at once on a server, against bare libpq INSERTs.
pelmar_bench(bench_server ${CMAKE_CURRENT_LIST_DIR}/server_bench.cpp)
target_link_libraries(bench_server PRIVATE PkgConfig::PQ)

# Several desks inserting at once on a server, against bare libpq INSERTs.
pelmar_bench(bench_server ${CMAKE_CURRENT_LIST_DIR}/server_bench.cpp)
target_link_libraries(bench_server PRIVATE PkgConfig::PQ)

# The wait box on a stalled server and its Cancel.
pelmar_bench(bench_stall ${CMAKE_CURRENT_LIST_DIR}/stall_bench.cpp)
target_link_libraries(bench_stall PRIVATE pelmar_lookupsession)

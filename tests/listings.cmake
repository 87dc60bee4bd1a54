pelmar_test(test_listings ${CMAKE_CURRENT_LIST_DIR}/listings.cpp)
pelmar_server_variant(test_listings)
target_link_libraries(test_listings PRIVATE pelmar_exporttests)

pelmar_test(test_listings ${CMAKE_CURRENT_LIST_DIR}/listings.cpp)
pelmar_server_variant(test_listings)

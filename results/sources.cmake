# Sources of results/: the results table, its texts, sort and ranking (logic); the table view (widgets).
target_sources(akcore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/results_table.h
    ${CMAKE_CURRENT_LIST_DIR}/results_table.cpp
)

# The results grid and its item model (widgets).
target_sources(akwidgets PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/results_model.h
    ${CMAKE_CURRENT_LIST_DIR}/results_model.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SortGrid.h
    ${CMAKE_CURRENT_LIST_DIR}/SortGrid.cpp
)

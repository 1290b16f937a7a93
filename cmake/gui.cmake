# The Qt desktop program: every window lives in a subsystem's ui/ folder.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
set(CMAKE_AUTOMOC ON)

file(GLOB UI_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/app/ui/*.cpp ${CMAKE_SOURCE_DIR}/script/ui/*.cpp
  ${CMAKE_SOURCE_DIR}/sales/ui/*.cpp ${CMAKE_SOURCE_DIR}/reports/ui/*.cpp
  ${CMAKE_SOURCE_DIR}/transfer/ui/*.cpp ${CMAKE_SOURCE_DIR}/settings/ui/*.cpp)
list(FILTER UI_SOURCES EXCLUDE REGEX "/app/ui/main\\.cpp$")
file(GLOB UI_HEADERS CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/app/ui/*.h ${CMAKE_SOURCE_DIR}/script/ui/*.h
  ${CMAKE_SOURCE_DIR}/sales/ui/*.h ${CMAKE_SOURCE_DIR}/reports/ui/*.h
  ${CMAKE_SOURCE_DIR}/transfer/ui/*.h ${CMAKE_SOURCE_DIR}/settings/ui/*.h)

add_library(tolvanet_ui STATIC ${UI_SOURCES} ${UI_HEADERS})
target_link_libraries(tolvanet_ui PUBLIC tolvanet_core Qt6::Widgets)

if(TARGET tolvanet_sim)
  add_executable(tolvanet ${CMAKE_SOURCE_DIR}/app/ui/main.cpp)
  target_link_libraries(tolvanet PRIVATE tolvanet_ui tolvanet_sim)
endif()

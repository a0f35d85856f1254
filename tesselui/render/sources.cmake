# The rendering code of TesselUI (skins, images, fonts, text, the library's own
# resources). Included by tesselui/CMakeLists.txt, which builds the library.
set(_tesselui_render ${CMAKE_CURRENT_LIST_DIR})
list(APPEND TESSELUI_RENDER_SOURCES
  ${_tesselui_render}/CGifPicture.cpp
  ${_tesselui_render}/Fonts.cpp
  ${_tesselui_render}/ImageCache.cpp
  ${_tesselui_render}/MImageList.cpp
  ${_tesselui_render}/MRender.cpp
  ${_tesselui_render}/MRenderText.cpp
  ${_tesselui_render}/Resources.cpp)

# Resource 106: the Open Sans Semibold face (fonts-open-sans). 101 and 102: the
# scroll bar images the skin generator draws (keyloft-skingen --resources), kept
# beside the sources so the library builds without running the generator first.
find_file(TESSELUI_OPEN_SANS_SEMIBOLD OpenSans-Semibold.ttf
  PATHS /usr/share/fonts/truetype/open-sans /usr/share/fonts/opentype/open-sans
  NO_DEFAULT_PATH)
if(NOT TESSELUI_OPEN_SANS_SEMIBOLD)
  message(FATAL_ERROR "OpenSans-Semibold.ttf not found: install fonts-open-sans")
endif()
set(_tesselui_res
  ${_tesselui_render}/res/scroll_h.png
  ${_tesselui_render}/res/scroll_v.png
  ${TESSELUI_OPEN_SANS_SEMIBOLD})
set_source_files_properties(${_tesselui_render}/Resources.cpp PROPERTIES
  COMPILE_DEFINITIONS "TESSELUI_RES_SCROLL_H=\"${_tesselui_render}/res/scroll_h.png\";TESSELUI_RES_SCROLL_V=\"${_tesselui_render}/res/scroll_v.png\";TESSELUI_RES_FONT=\"${TESSELUI_OPEN_SANS_SEMIBOLD}\""
  OBJECT_DEPENDS "${_tesselui_res}")

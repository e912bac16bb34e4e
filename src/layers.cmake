# The layers of src/, lowest first: the one list the libraries' links between our layers, their
# include roots and the layer check (cmake/check_layers.cmake, run by every build) come from.
#
#   kv_layer(FOLDER [TARGET library] [PUBLIC layers...] [PRIVATE layers...])
#
# A layer uses exactly the layers it names, all listed before it. PUBLIC: whoever uses this layer
# sees that one too (needed when a header of the layer includes the other); PRIVATE: only this
# layer's files do. A file may include only from its own layer and the layers its line names; a
# named layer that no file includes, a PRIVATE layer a header includes, a link made outside this
# list and a link upward all fail the build. To use another layer, add it to the line (its library
# is linked from here, in the order given).
kv_layer(base)                                             # Qt Core only
kv_layer(render)                                           # the canvas seam (Qt Gui)
kv_layer(graphics  PUBLIC render base)
kv_layer(richtext  PUBLIC graphics render base)
kv_layer(core      PUBLIC graphics richtext render base)
kv_layer(script    PUBLIC base)
kv_layer(engine    PUBLIC core script base)
kv_layer(export    PUBLIC core base render)
kv_layer(print     PUBLIC core base render)
kv_layer(exportui  PUBLIC export core base)
kv_layer(preview   PUBLIC core script export print base render)
kv_layer(designer  PUBLIC core richtext base render PRIVATE preview script)
kv_layer(app       PUBLIC print preview engine base core render)
kv_layer(tools     TARGET kvdemo  PUBLIC core base graphics)
kv_layer(viewer    TARGET kvviewerlib  PUBLIC app exportui designer core export preview base)
kv_layer(cli       PUBLIC app engine export script base core print render)

# The folders of core, lowest first; "." is core's own top folder. A file may include from its
# own folder and the folders before it.
kv_folders(core  . data paper views store template report)
# Includes that still run upward between core's folders: the check fails on any other, and on a
# line here once its include is gone.
kv_upward_include(core/library_context.cpp      store)
kv_upward_include(core/library_context.h        report)
kv_upward_include(core/object.h                 views)
kv_upward_include(core/startup.cpp              views)
kv_upward_include(core/tools_registry.cpp       views)
kv_upward_include(core/views/band_view.cpp      report)
kv_upward_include(core/views/memo_view_draw.cpp report)
kv_upward_include(core/views/rich_view.cpp      report)
kv_upward_include(core/views/view.cpp           report)
kv_upward_include(core/store/emf_pages.cpp      report)
kv_upward_include(core/store/emf_pages_draw.cpp report)
kv_upward_include(core/store/prepared_page_info.h report)
kv_upward_include(core/template/data_dictionary.cpp report)
kv_upward_include(core/template/template_library.cpp report)
kv_upward_include(core/template/template_stream.cpp report)

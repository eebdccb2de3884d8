# Sources of results/: logic files go to akcore, windows and controls to akwidgets.

# The Qt program: see the window issue.

d = {}
for i in range(1, 200001):
    d[str(i)] = i * 2
t = 0
for i in range(1, 200001):
    t = t + d[str(i)]
print(t)

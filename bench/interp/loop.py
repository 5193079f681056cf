x = 0
for i in range(1, 3000001):
    x = x + i % 7
    if x > 1000:
        x = x - 1000
print(x)

// The C# binding driving the development service through veltoclient_c and the loader. The
// binding is made once per process, so each case (the first argument) runs in a process of
// its own:
//   devservice  login, list, write, read back byte for byte, remove with an injected fault
//               (VYKARIS_DEVSERVICE_FAULTS=remove:1:3), traffic, answers after collections,
//               a disposed client's pending tasks
//   error1      installation error 1, its text, and requests that fail at once
using System;
using System.Threading.Tasks;
using Qz.Veltoclient;

internal static class BindingTest
{
    private const uint Product = 4243;
    private const uint Savegame = 3;
    private static int passed;
    private static int failed;
    private static string currentCase = "(none)";

    private static bool Check(bool condition, string what)
    {
        if (condition)
        {
            ++passed;
        }
        else
        {
            ++failed;
            Console.WriteLine("[" + currentCase + "] failed: " + what);
        }
        return condition;
    }

    private static bool CheckEqual<T>(T actual, T expected, string what)
    {
        return Check(Equals(actual, expected),
                     what + " (got " + actual + ", expected " + expected + ")");
    }

    // Pumps Update until the task is done; its result, or the default when it never finishes.
    private static T Wait<T>(Client client, Task<T> task)
    {
        for (int i = 0; i < 10000 && !task.IsCompleted; ++i)
        {
            client.Update();
        }
        return Check(task.Status == TaskStatus.RanToCompletion, "task completed: " + task.Status)
                   ? task.Result
                   : default(T);
    }

    private static byte[] Contents(int size)
    {
        byte[] bytes = new byte[size];
        for (int i = 0; i < size; ++i)
        {
            bytes[i] = (byte)(i * 13 + i / 256);
        }
        return bytes;
    }

    private static void RunDevService()
    {
        using (Client client = new Client())
        {
            currentCase = "bound";
            CheckEqual(client.InstallationErrorNum, 0u, "installation error");
            CheckEqual(client.GetInstallationErrorString("en-US"), "", "no error text");
            CheckEqual(Client.LibraryVersion, 0x000100u, "library version");

            currentCase = "login";
            LoginDetails login = Wait(client, client.GetLoginDetailsAsync());
            Check(login.Value1 == 0 && login.Value2 == 1 && login.Value3 == 0, "login values");

            currentCase = "empty list";
            CheckEqual(Wait(client, client.GetSavegameListAsync(Product)).Length, 0, "count");

            currentCase = "write";
            byte[] contents = Contents(70000);
            SavegameWriter writer =
                Wait(client, client.OpenSavegameWriterAsync(Product, Savegame, false));
            CheckEqual(writer.OpenResult, 0u, "open result");
            Check(writer.SetName("C# \u00e9t\u00e9"), "name taken");
            Check(!writer.SetName(""), "empty name refused");
            Task<int> first = writer.WriteAsync(new ReadOnlySpan<byte>(contents, 0, 40000));
            // The delegates and contexts that the native side holds survive collections.
            GC.Collect();
            GC.WaitForPendingFinalizers();
            CheckEqual(Wait(client, first), 40000, "first part written");
            CheckEqual(Wait(client, writer.WriteAsync(new ReadOnlySpan<byte>(contents, 40000,
                                                                             30000))),
                       30000, "second part written");
            writer.Close(true);

            currentCase = "an existing savegame is kept";
            CheckEqual(Wait(client, client.OpenSavegameWriterAsync(Product, Savegame, false))
                           .OpenResult,
                       5u, "already exists");

            currentCase = "list";
            SavegameInfo[] list = Wait(client, client.GetSavegameListAsync(Product));
            if (CheckEqual(list == null ? -1 : list.Length, 1, "count"))
            {
                CheckEqual(list[0].Name, "C# \u00e9t\u00e9", "name");
                CheckEqual(list[0].ProductId, Product, "product");
                CheckEqual(list[0].SavegameId, Savegame, "savegame");
                CheckEqual(list[0].Size, (uint)contents.Length, "size");
            }

            currentCase = "read back";
            SavegameReader reader =
                Wait(client, client.OpenSavegameReaderAsync(Product, Savegame));
            CheckEqual(reader.OpenResult, 0u, "open result");
            byte[] back = new byte[100000];
            CheckEqual(Wait(client, reader.ReadAsync(0, back, 0, 50000)), 50000, "first part");
            CheckEqual(Wait(client, reader.ReadAsync(50000, back, 50000, 30000)), 20000,
                       "the rest");
            Check(new ReadOnlySpan<byte>(back, 0, contents.Length).SequenceEqual(contents),
                  "byte for byte");
            CheckEqual(Wait(client, reader.ReadAsync((uint)contents.Length, back, 0, 5)), 0,
                       "past the end");
            reader.Close();

            currentCase = "a missing savegame";
            SavegameReader missing = Wait(client, client.OpenSavegameReaderAsync(Product, 99));
            CheckEqual(missing.OpenResult, 1u, "no such savegame");
            Check(IsFaulted(() => missing.ReadAsync(0, back, 0, 1)), "read refused");

            currentCase = "remove, with an injected fault";
            CheckEqual(Wait(client, client.RemoveSavegameAsync(Product, Savegame)), 3u,
                       "the first remove fails");
            CheckEqual(Wait(client, client.GetSavegameListAsync(Product)).Length, 1,
                       "still there");
            CheckEqual(Wait(client, client.RemoveSavegameAsync(Product, Savegame)), 0u,
                       "removed");
            CheckEqual(Wait(client, client.GetSavegameListAsync(Product)).Length, 0, "gone");

            currentCase = "traffic";
            NetworkTraffic traffic = Wait(client, client.GetNetworkTrafficAsync());
            CheckEqual(traffic.BytesRead, 70000u, "bytes read");
            CheckEqual(traffic.BytesWritten, 70000u, "bytes written");

            currentCase = "forwards";
            Check(client.GetRequestUniqueId() != 0xFFFFFFFFu, "request id");
            Check(!client.StartLauncher(1, 2, "game", "\u00e9"), "launcher");
            CheckEqual(client.GetLocText("Hallo \u00fc", "de-DE"), "Hallo \u00fc", "loc text");
        }

        currentCase = "dispose cancels";
        Client disposed = new Client();
        Task<LoginDetails> pending = disposed.GetLoginDetailsAsync();
        disposed.Dispose();
        Check(pending.IsCanceled, "pending task cancelled");
        disposed.Dispose();
        Check(IsFaulted(() => disposed.GetLoginDetailsAsync()), "a disposed client refuses");
    }

    // Whether `start` throws or gives a task that failed at once.
    private static bool IsFaulted<T>(Func<Task<T>> start)
    {
        try
        {
            return start().IsFaulted;
        }
        catch (Exception)
        {
            return true;
        }
    }

    private static void RunError1()
    {
        currentCase = "installation error 1";
        using (Client client = new Client())
        {
            CheckEqual(client.InstallationErrorNum, 1u, "error number");
            CheckEqual(client.GetInstallationErrorString("en-US"),
                       "Vykaris Game Lancher: \nError code 1.", "text");
            CheckEqual(client.GetInstallationErrorString(null), "Vykaris Game Lancher: \n",
                       "first line alone");
            CheckEqual(client.GetRequestUniqueId(), 0xFFFFFFFFu, "no request ids");
            Task<SavegameInfo[]> list = client.GetSavegameListAsync(Product);
            Check(list.IsFaulted && list.Exception.InnerException is PlatformUnavailableException,
                  "requests fail at once");
        }
    }

    private static int Main(string[] arguments)
    {
        string which = arguments.Length > 0 ? arguments[0] : "";
        if (which == "devservice")
        {
            RunDevService();
        }
        else if (which == "error1")
        {
            RunError1();
        }
        else
        {
            Console.WriteLine("usage: BindingTest.exe devservice|error1");
            return 1;
        }
        Console.WriteLine(passed + " passed, " + failed + " failed");
        return failed == 0 && passed > 0 ? 0 : 1;
    }
}
